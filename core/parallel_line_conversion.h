// The lines of a result file converted on several threads, to the same bytes
// as one engine converting them one after another.
//
// The lines go in blocks to worker threads, each with an engine, a state and
// a datum of its own, and come back in their order. A line's result depends
// on the lines before it only through the datum's one-entry triangle cache
// (a point on an edge shared by two triangles takes the cached triangle), so
// every worker records its cache before and after each line. When a block is
// handed on, the cache that the lines before it would leave is compared with
// the worker's: the lines at the start of the block are converted again on
// the calling thread until the two agree, and from there on the worker's
// lines are exactly the sequence's own. In a file of random points that is
// one line per block; at sea (no triangle) none.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "core/conversion_engine.h"
#include "core/floating_point_environment.h"

namespace lomitra {

// One line as it goes out, in the order of the lines.
struct ConvertedLine {
    ResultFileLine outcome = ResultFileLine::NotConverted;
    bool outsideNetwork = false;  // converted by the similarity transformation
    std::string_view result;      // the line of the result file
    std::string_view table;       // its line of the table file; empty without a table
    // The datum's triangle cache after the line, as one engine converting
    // the lines one after another leaves it.
    TriangleCache cacheAfter;
};

// How many lines go to a worker at a time, and how much may be on its way:
// a block closes at `lines` lines or when its text reaches `bytes`, whichever
// comes first; a line of `longLine` bytes or more is converted on the calling
// thread once every line before it is handed on, so that it is held once, as
// with one thread; and the blocks in flight (at most two per worker) hold at
// most about `bytesInFlight` bytes of source lines together (one block more
// at the moment it is handed over), with their result and table lines.
struct LineBlockSize {
    std::size_t lines = 512;
    std::size_t bytes = 64 * 1024;
    std::size_t longLine = 64 * 1024;
    std::size_t bytesInFlight = std::size_t{8} << 20;
};

class ParallelLineConversion {
public:
    using Sink = std::function<void(const ConvertedLine&)>;

    // `layout` holds the columns or field numbers of the lines (as the
    // windows' state does); with `withTable` every line also gets its table
    // line and its point the map sheets. `threads` workers convert; with 1
    // every line is converted at once on the calling thread. The sink is
    // called on the calling thread, from add() and finish(), once per line in
    // the order of the lines; the views stay valid until it returns. The
    // workers start here, with the calling thread's signal mask: a caller
    // that handles signals itself holds them back while it constructs, so
    // that they always reach it.
    ParallelLineConversion(const ConversionSettings& settings, const ConversionState& layout,
                           LineLayout lineLayout, bool withTable, int threads, Sink sink,
                           LineBlockSize blockSize = {});
    // Stops the workers; lines not yet handed to the sink are dropped.
    // An exception of a worker (std::bad_alloc) is thrown again on the
    // calling thread, from add() or finish(), when its block is handed on.
    ~ParallelLineConversion();
    ParallelLineConversion(const ParallelLineConversion&) = delete;
    ParallelLineConversion& operator=(const ParallelLineConversion&) = delete;

    // `line` may be changed: with one thread it becomes its result line.
    void add(std::string& line);
    // Hands every remaining line to the sink.
    void finish();
    // Hands every line added so far to the sink; the lines added from now on
    // are read in `encoding` (the encoding of a stream decided part way).
    void setEncoding(TextEncoding encoding);

    // A sensible number of workers for this machine (at least 1).
    static int defaultThreads();

private:
    struct Converter;
    struct Block;

    void submit();
    void handOnOldest();
    void handOn(const Block& block);
    void work(Converter& converter);

    const Sink sink_;
    const LineBlockSize blockSize_;
    // The calling thread's floating-point environment, which the workers take on.
    FloatingPointEnvironment callerEnvironment_;
    const std::size_t maxBlocksInFlight_;
    std::unique_ptr<Converter> own_;  // the calling thread's: the sequence's cache
    std::vector<std::unique_ptr<Converter>> converters_;  // one per worker
    std::unique_ptr<Block> filling_;
    std::vector<std::unique_ptr<Block>> spare_;
    std::deque<std::unique_ptr<Block>> inFlight_;  // in the order of the lines
    std::size_t bytesInFlight_ = 0;                // their source lines' bytes
    std::deque<Block*> waiting_;                   // not yet taken by a worker
    std::mutex mutex_;
    std::condition_variable workArrived_;
    std::condition_variable blockDone_;
    bool stopping_ = false;
    std::vector<std::thread> workers_;
};

}  // namespace lomitra
