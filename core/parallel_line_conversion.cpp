#include "core/parallel_line_conversion.h"
#include "core/result_line.h"

#include <algorithm>
#include <exception>
#include <system_error>
#include <utility>

#include "geodesy/datum_transformation.h"

namespace lomitra {

// One engine with its own datum and state, and the texts of its last line.
struct ParallelLineConversion::Converter {
    Converter(const ConversionSettings& settings, const ConversionState& layout,
              LineLayout lineLayout_, bool withTable_)
        : state(layout), engine(settings, datum, state), lineLayout(lineLayout_), withTable(withTable_) {
        engine.setMapSheets(withTable);  // only the table shows them
    }

    // Converts a copy of `text`; the views point into this converter.
    ConvertedLine convert(std::string_view text) {
        line.assign(text);
        return convertInPlace(line);
    }

    // Converts `text` where it stands: the result view shows it.
    ConvertedLine convertInPlace(std::string& text) {
        ConvertedLine out;
        out.outcome = engine.convertResultFileLine(text, lineLayout);
        out.outsideNetwork = out.outcome == ResultFileLine::Converted && engine.lastPointOutsideNetwork();
        out.result = text;
        if (withTable) {
            formatResultLine(state, table);  // the point stays in the state
            out.table = table;
        }
        out.cacheAfter = datum.triangleCache();
        return out;
    }

    DatumTransformation datum;
    ConversionState state;
    ConversionEngine engine;
    const LineLayout lineLayout;
    const bool withTable;
    std::string line;
    std::string table;
};

// Lines on their way through a worker, and what became of them.
struct ParallelLineConversion::Block {
    struct Outcome {
        ResultFileLine outcome;
        bool outsideNetwork;
        TriangleCache cacheAfter;  // the worker's
    };

    std::size_t size() const { return inputEnds.size(); }
    static std::string_view part(const std::string& text, const std::vector<std::size_t>& ends,
                                 std::size_t i) {
        const std::size_t begin = i == 0 ? 0 : ends[i - 1];
        return std::string_view(text).substr(begin, ends[i] - begin);
    }
    std::string_view line(std::size_t i) const { return part(input, inputEnds, i); }
    ConvertedLine converted(std::size_t i) const {
        return {outcomes[i].outcome, outcomes[i].outsideNetwork, part(results, resultEnds, i),
                tableEnds.empty() ? std::string_view() : part(tables, tableEnds, i),
                outcomes[i].cacheAfter};
    }
    TriangleCache cacheBefore(std::size_t i) const {
        return i == 0 ? cacheAtStart : outcomes[i - 1].cacheAfter;
    }

    void add(std::string_view text) {
        input.append(text);
        inputEnds.push_back(input.size());
    }

    // Converts every line with `converter`, recording its cache around each.
    void convertWith(Converter& converter) {
        cacheAtStart = converter.datum.triangleCache();
        for (std::size_t i = 0; i < size(); ++i) {
            const ConvertedLine out = converter.convert(line(i));
            results.append(out.result);
            resultEnds.push_back(results.size());
            if (converter.withTable) {
                tables.append(out.table);
                tableEnds.push_back(tables.size());
            }
            outcomes.push_back({out.outcome, out.outsideNetwork, out.cacheAfter});
        }
    }

    void clear() {
        input.clear();
        inputEnds.clear();
        results.clear();
        resultEnds.clear();
        tables.clear();
        tableEnds.clear();
        outcomes.clear();
        error = nullptr;
        done = false;
    }

    std::string input;
    std::vector<std::size_t> inputEnds;
    std::string results;
    std::vector<std::size_t> resultEnds;
    std::string tables;
    std::vector<std::size_t> tableEnds;
    std::vector<Outcome> outcomes;
    TriangleCache cacheAtStart;
    std::exception_ptr error;  // what the worker threw (std::bad_alloc), if anything
    bool done = false;  // guarded by mutex_
};

ParallelLineConversion::ParallelLineConversion(const ConversionSettings& settings,
                                               const ConversionState& layout, LineLayout lineLayout,
                                               bool withTable, int threads, Sink sink,
                                               LineBlockSize blockSize)
    : sink_(std::move(sink)),
      blockSize_{std::max<std::size_t>(blockSize.lines, 1), blockSize.bytes, blockSize.longLine,
                 blockSize.bytesInFlight},
      maxBlocksInFlight_(2 * static_cast<std::size_t>(std::max(threads, 1))),
      own_(std::make_unique<Converter>(settings, layout, lineLayout, withTable)) {
    if (threads <= 1) return;
    callerEnvironment_ = FloatingPointEnvironment::current();
    filling_ = std::make_unique<Block>();
    for (int i = 0; i < threads; ++i) {
        converters_.push_back(std::make_unique<Converter>(settings, layout, lineLayout, withTable));
    }
    // A thread the system refuses (a process limit) leaves fewer workers;
    // none at all, the calling thread converting alone.
    for (const auto& converter : converters_) {
        try {
            workers_.emplace_back([this, c = converter.get()] {
                callerEnvironment_.apply();  // the same bits as the calling thread's
                work(*c);
            });
        } catch (const std::system_error&) {
            break;
        }
    }
}

ParallelLineConversion::~ParallelLineConversion() {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    workArrived_.notify_all();
    for (std::thread& worker : workers_) worker.join();
}

int ParallelLineConversion::defaultThreads() {
    const unsigned cores = std::thread::hardware_concurrency();
    return static_cast<int>(std::clamp(cores, 1u, 16u));
}

void ParallelLineConversion::add(std::string& line) {
    if (workers_.empty()) {
        sink_(own_->convertInPlace(line));
        return;
    }
    if (line.size() >= blockSize_.longLine) {
        // Where it stands, after the lines before it: no copy of it in any block.
        if (filling_->size() > 0) submit();
        while (!inFlight_.empty()) handOnOldest();
        sink_(own_->convertInPlace(line));
        return;
    }
    filling_->add(line);
    if (filling_->size() >= blockSize_.lines || filling_->input.size() >= blockSize_.bytes) submit();
}

void ParallelLineConversion::finish() {
    if (workers_.empty()) return;
    if (filling_->size() > 0) submit();
    while (!inFlight_.empty()) handOnOldest();
}

void ParallelLineConversion::setEncoding(TextEncoding encoding) {
    finish();
    // The workers wait for a block; the next one reaches them through the mutex.
    own_->state.encoding = encoding;
    for (const auto& converter : converters_) converter->state.encoding = encoding;
}

void ParallelLineConversion::submit() {
    std::unique_ptr<Block> next;
    if (!spare_.empty()) {
        next = std::move(spare_.back());
        spare_.pop_back();
    } else {
        next = std::make_unique<Block>();
    }
    bytesInFlight_ += filling_->input.size();
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        waiting_.push_back(filling_.get());
        inFlight_.push_back(std::move(filling_));
    }
    workArrived_.notify_one();
    filling_ = std::move(next);
    while (!inFlight_.empty() &&
           (inFlight_.size() >= maxBlocksInFlight_ || bytesInFlight_ > blockSize_.bytesInFlight)) {
        handOnOldest();
    }
}

void ParallelLineConversion::handOnOldest() {
    {
        std::unique_lock<std::mutex> lock(mutex_);
        blockDone_.wait(lock, [this] { return inFlight_.front()->done; });
    }
    std::unique_ptr<Block> block = std::move(inFlight_.front());
    inFlight_.pop_front();
    bytesInFlight_ -= block->input.size();
    if (block->error) std::rethrow_exception(block->error);
    handOn(*block);
    block->clear();
    spare_.push_back(std::move(block));
}

void ParallelLineConversion::handOn(const Block& block) {
    DatumTransformation& sequence = own_->datum;
    std::size_t i = 0;
    // Where the worker's cache differs from the sequence's, the line is the
    // sequence's own only when converted again from the sequence's cache.
    for (; i < block.size() && sequence.triangleCache() != block.cacheBefore(i); ++i) {
        sink_(own_->convert(block.line(i)));
    }
    if (i == block.size()) return;
    for (; i < block.size(); ++i) sink_(block.converted(i));
    sequence.restoreTriangleCache(block.outcomes.back().cacheAfter);
}

void ParallelLineConversion::work(Converter& converter) {
    for (;;) {
        Block* block = nullptr;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            workArrived_.wait(lock, [this] { return stopping_ || !waiting_.empty(); });
            if (stopping_) return;
            block = waiting_.front();
            waiting_.pop_front();
        }
        try {
            block->convertWith(converter);
        } catch (...) {
            block->error = std::current_exception();  // for the calling thread
        }
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            block->done = true;
        }
        blockDone_.notify_all();
    }
}

}  // namespace lomitra
