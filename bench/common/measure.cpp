#include "common/measure.h"

#include <fcntl.h>
#include <png.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <sstream>

extern char** environ;

namespace vellumor::bench {
namespace {

struct PlainDecode {
    png_structp png = nullptr;
    png_infop info = nullptr;
    std::vector<png_byte> pixels;
    std::vector<png_bytep> rows;
    png_uint_32 width = 0, height = 0;
    int depth = 0, colour_type = 0;
    std::vector<png_color> palette;
};

bool decode(std::FILE* f, PlainDecode& d) {
    if (setjmp(png_jmpbuf(d.png))) return false;
    png_init_io(d.png, f);
    png_read_info(d.png, d.info);
    d.width = png_get_image_width(d.png, d.info);
    d.height = png_get_image_height(d.png, d.info);
    d.depth = png_get_bit_depth(d.png, d.info);
    d.colour_type = png_get_color_type(d.png, d.info);
    png_colorp entries = nullptr;
    int count = 0;
    if (png_get_PLTE(d.png, d.info, &entries, &count)) d.palette.assign(entries, entries + count);
    const std::size_t stride = png_get_rowbytes(d.png, d.info);
    d.pixels.resize(stride * d.height);
    d.rows.resize(d.height);
    for (png_uint_32 y = 0; y < d.height; ++y) d.rows[y] = d.pixels.data() + y * stride;
    png_read_image(d.png, d.rows.data());
    png_read_end(d.png, nullptr);
    return true;
}

bool encode(std::FILE* f, png_structp png, png_infop info, const PlainDecode& d) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_init_io(png, f);
    png_set_compression_level(png, 9);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
    png_set_IHDR(png, info, d.width, d.height, d.depth, d.colour_type, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
    if (!d.palette.empty()) png_set_PLTE(png, info, d.palette.data(), int(d.palette.size()));
    png_write_info(png, info);
    png_write_image(png, const_cast<png_bytepp>(d.rows.data()));
    png_write_end(png, info);
    return true;
}

}  // namespace

double seconds_of(const std::function<void()>& f) {
    auto now = [] {
        timespec t{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
        return double(t.tv_sec) + t.tv_nsec / 1e9;
    };
    const double start = now();
    f();
    return now() - start;
}

std::size_t peak_memory_bytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::stoul(line.substr(6)) * 1024;
    return 0;
}

std::string run_self(const std::vector<std::string>& args) {
    int pipe_fds[2];
    if (pipe(pipe_fds) != 0) return {};
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(pipe_fds[1], STDOUT_FILENO);
        close(pipe_fds[0]);
        close(pipe_fds[1]);
        std::vector<char*> argv;
        std::string self = "/proc/self/exe";
        argv.push_back(self.data());
        std::vector<std::string> copy = args;
        for (auto& a : copy) argv.push_back(a.data());
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(pipe_fds[1]);
    std::string out;
    char buffer[4096];
    ssize_t n;
    while ((n = read(pipe_fds[0], buffer, sizeof buffer)) > 0) out.append(buffer, std::size_t(n));
    close(pipe_fds[0]);
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0)
        return {};
    return out;
}

Floor measure_floor(const std::filesystem::path& source, const std::filesystem::path& out) {
    Floor floor{-1, -1};
    PlainDecode d;
    d.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    d.info = png_create_info_struct(d.png);
    bool decoded = false;
    floor.decode_seconds = seconds_of([&] {
        if (std::FILE* f = std::fopen(source.c_str(), "rb")) {
            decoded = decode(f, d);
            std::fclose(f);
        }
    });
    png_destroy_read_struct(&d.png, &d.info, nullptr);
    if (!decoded) return {-1, -1};

    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    bool encoded = false;
    floor.encode_seconds = seconds_of([&] {
        if (std::FILE* f = std::fopen(out.c_str(), "wb")) {
            std::setvbuf(f, nullptr, _IOFBF, 1 << 20);  // as the page writer does
            encoded = encode(f, png, info, d);
            encoded = std::fclose(f) == 0 && encoded;
        }
    });
    png_destroy_write_struct(&png, &info);
    if (!encoded) floor.encode_seconds = -1;
    return floor;
}

Child run_child(const std::vector<std::string>& command, const std::filesystem::path& output) {
    std::vector<std::string> args = command;
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    Child c;
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = -1;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return c;
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid) return c;
    c.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    c.cpu = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
            double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    c.peak = std::size_t(usage.ru_maxrss) * 1024;
    c.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return c;
}

std::vector<std::uint8_t> unfiltered_rows(const std::filesystem::path& file) {
    PlainDecode d;
    d.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    d.info = png_create_info_struct(d.png);
    bool decoded = false;
    if (std::FILE* f = std::fopen(file.c_str(), "rb")) {
        decoded = decode(f, d);
        std::fclose(f);
    }
    png_destroy_read_struct(&d.png, &d.info, nullptr);
    if (!decoded || d.height == 0) return {};
    const std::size_t stride = d.pixels.size() / d.height;
    std::vector<std::uint8_t> raw;
    raw.reserve((stride + 1) * d.height);
    for (png_uint_32 y = 0; y < d.height; ++y) {
        raw.push_back(0);
        raw.insert(raw.end(), d.rows[y], d.rows[y] + stride);
    }
    return raw;
}

std::string megabytes(std::size_t bytes) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f Mo", bytes / 1e6);
    return text;
}

}  // namespace vellumor::bench
