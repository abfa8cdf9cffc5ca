// The command line of lomitra-batch, turned into the settings positions and
// line layout that the conversion window would hold for the same choices.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/conversion_settings.h"
#include "core/text_encoding.h"

namespace lomitra {

inline constexpr int32_t kBatchMaxThreads = 64;  // --threads 1 ... 64

struct BatchOptions {
    ConversionSettings settings;  // the positions of the settings window's seven lists
    LineLayout layout = LineLayout::FixedColumns;
    // As ConversionState: 1-based start columns and lengths (fixed columns), or
    // zero-based field numbers (free format; -1 none). Index 2 is the identifier;
    // columnLength[2] = 0 means no identifier in either layout.
    std::array<int32_t, 3> columnStart{};
    std::array<int32_t, 3> columnLength{};
    std::array<int32_t, 3> fieldNumber{-1, -1, -1};
    std::string source;         // path, or "-" for standard input
    std::string output = "-";   // result file, "-" standard output
    std::string table;          // table file; empty: none
    int32_t threads = 0;        // --threads: conversion threads; 0: one per processor
    std::optional<TextEncoding> encoding;  // --encoding utf-8|cp1252; none (auto): decided from the source
    bool help = false;          // -h / --help: print the usage text only
    bool version = false;       // --version: print the name and version only
};

// Reads the arguments (without the program name). On a bad option returns
// nothing and puts a one-line reason (UTF-8) into `error`.
std::optional<BatchOptions> parseBatchOptions(const std::vector<std::string>& args,
                                              std::string& error);

}  // namespace lomitra
