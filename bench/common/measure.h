#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace vellumor::bench {

// Processor seconds (user and system) this process spent in f. Unlike the wall clock, it does not
// count the time other programs take from the shared cores.
double seconds_of(const std::function<void()>& f);

// The highest resident memory of this process so far, in bytes (VmHWM).
std::size_t peak_memory_bytes();

// Runs this program again with args (a fresh process, so that its peak memory is its own) and
// returns what it printed on its standard output; empty when it failed.
std::string run_self(const std::vector<std::string>& args);

// What a plain libpng decode of the file and a zlib-9, unfiltered encode of the same pixels, in
// the same colour type and depth, take: the floor a page operation is measured against.
struct Floor {
    double decode_seconds = 0;
    double encode_seconds = 0;
    double total() const { return decode_seconds + encode_seconds; }
};
// Writes its encode to out. Seconds are negative when the file cannot be read or written.
Floor measure_floor(const std::filesystem::path& source, const std::filesystem::path& out);

// The picture data of a PNG file as an unfiltered encoder compresses it: every row as stored
// (indices, grey or colour samples at the file's depth) after a filter byte 0. Empty when the file
// cannot be read.
std::vector<std::uint8_t> unfiltered_rows(const std::filesystem::path& file);

// What a child process took: wall seconds, processor seconds (user + system), peak memory.
struct Child {
    bool ok = false;
    double wall = 0, cpu = 0;
    std::size_t peak = 0;
};
// Runs command (found on PATH) with its standard output written to output (thrown away by
// default); ok when it exits with 0.
Child run_child(const std::vector<std::string>& command,
                const std::filesystem::path& output = "/dev/null");

// "12.3 Mo"
std::string megabytes(std::size_t bytes);

}  // namespace vellumor::bench
