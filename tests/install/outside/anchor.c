/* The public anchor point through the installed C interface. */
#include <lomitra/lomitra.h>
#include <stdio.h>

int main(void) {
    char error[256];
    lomitra_transformer *t = lomitra_transformer_create("YKJ", "ETRS-TM35FIN", error, sizeof error);
    double north = 6700000.0, east = 3210000.0;
    signed char status = 9;
    size_t converted;
    if (t == NULL) {
        fprintf(stderr, "%s\n", error);
        return 1;
    }
    converted = lomitra_transform(t, 1, &north, sizeof north, &east, sizeof east, &status);
    printf("%d %.3f %.3f %zu %s\n", status, north, east, converted, lomitra_version());
    lomitra_transformer_destroy(t);
    return 0;
}
