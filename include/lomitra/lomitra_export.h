/* Which functions and classes of Lomitra a program can reach in the shared
 * library: only those marked LOMITRA_API; everything else stays hidden.
 * Define LOMITRA_STATIC when linking a static build of the library. */
#ifndef LOMITRA_EXPORT_H
#define LOMITRA_EXPORT_H

#if defined(LOMITRA_STATIC)
#define LOMITRA_API
#elif defined(_WIN32)
#if defined(LOMITRA_BUILDING)
#define LOMITRA_API __declspec(dllexport)
#else
#define LOMITRA_API __declspec(dllimport)
#endif
#else
#define LOMITRA_API __attribute__((visibility("default")))
#endif

#endif
