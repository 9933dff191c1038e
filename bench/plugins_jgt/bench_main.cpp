// Decodes each benchmark picture through its plug-in, the way the program calls it (file name,
// offset 0), and beside it through the library in process and the library's command-line tool,
// printing median times and the ratios. Usage: bench_plugins_jgt [runs] [picture folder]
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "bench_pictures.h"
#include "bench_reference.h"
#include "platform/dynlib.h"
#include "plugins/spi.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

double Median(std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

double TimeMs(const std::function<void()>& work) {
    const auto start = Clock::now();
    work();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Median times of each piece of work, run in turns so that a change in the machine's load
// affects them alike.
std::vector<double> InTurns(int runs, const std::vector<std::function<void()>>& works) {
    std::vector<std::vector<double>> ms(works.size());
    for (int i = 0; i < runs; ++i)
        for (size_t k = 0; k < works.size(); ++k)
            ms[k].push_back(TimeMs(works[k]));
    std::vector<double> medians;
    for (auto& m : ms)
        medians.push_back(Median(m));
    return medians;
}

// Runs a tool with its output thrown away; false when it cannot run or fails.
bool Run(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", 1, 0); // O_WRONLY
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", 1, 0);
    pid_t pid;
    const int rc = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) return false;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

struct Plugin {
    platform::ScopedLibrary library;
    SpiGetPictureFn getPicture = nullptr;
    SpiGetPictureFn getPreview = nullptr;
    explicit Plugin(const char* name) : library(name) {
        getPicture = library.entry<SpiGetPictureFn>("GetPicture");
        getPreview = library.entry<SpiGetPictureFn>("GetPreview");
    }
};

bool Decode(SpiGetPictureFn fn, const std::string& path) {
    HGLOBAL32 info = 0, bits = 0;
    if (!fn || fn(path.c_str(), 0, SPI_INPUT_FILE, &info, &bits, nullptr, 0) != SPI_OK)
        return false;
    GlobalFree(info);
    GlobalFree(bits);
    return true;
}

struct Row {
    std::string what;
    SpiGetPictureFn plugin;
    std::function<void()> inProcess;
    std::vector<std::string> tool;
};

void Report(const Row& row, const std::string& path, int runs) {
    if (!Decode(row.plugin, path)) {
        std::printf("%-28s plug-in failed\n", row.what.c_str());
        return;
    }
    const bool toolRuns = Run(row.tool);
    std::vector<std::function<void()>> works = {[&] { Decode(row.plugin, path); }, row.inProcess};
    if (toolRuns) works.push_back([&] { Run(row.tool); });
    const std::vector<double> ms = InTurns(runs, works);
    const double plugin = ms[0], library = ms[1], tool = toolRuns ? ms[2] : -1;
    std::printf("%-28s plug-in %8.1f ms | library %8.1f ms  ratio %.3f | %-9s ", row.what.c_str(),
                plugin, library, plugin / library, row.tool[0].c_str());
    if (tool > 0)
        std::printf("%8.1f ms  ratio %.3f\n", tool, plugin / tool);
    else
        std::printf("not run\n");
}

} // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    const std::filesystem::path folder = argc > 2 ? argv[2] : JGT_BENCH_DATA_DIR;
    const auto pictures = bench::EnsurePictures(folder);
    Plugin jpeg("ifjpeg.spi"), gif("ifgif.spi"), tiff("iftiff.spi");
    const std::string scratch = (folder / "tool-output.tif").string();
    std::printf("median of %d runs; ratio = plug-in time / reference time (lower is faster)\n",
                runs);
    for (const auto& p : pictures) {
        const std::string path = p.path.string();
        std::vector<Row> rows;
        if (p.label.rfind("JPEG", 0) == 0) {
            rows.push_back({p.label,
                            jpeg.getPicture,
                            [&] { bench::LibjpegDecode(p.path, 1); },
                            {"djpeg", "-bmp", "-outfile", "/dev/null", path}});
            rows.push_back({p.label + ", 1/4 preview",
                            jpeg.getPreview,
                            [&] { bench::LibjpegDecode(p.path, 4); },
                            {"djpeg", "-scale", "1/4", "-bmp", "-outfile", "/dev/null", path}});
        } else if (p.label.rfind("GIF", 0) == 0) {
            rows.push_back({p.label,
                            gif.getPicture,
                            [&] { bench::GiflibDecode(p.path); },
                            {"gif2rgb", "-1", "-o", "/dev/null", path}});
        } else {
            rows.push_back({p.label,
                            tiff.getPicture,
                            [&] { bench::LibtiffDecode(p.path); },
                            {"tiff2rgba", "-c", "none", path, scratch}});
        }
        for (const Row& row : rows)
            Report(row, path, runs);
    }
    std::filesystem::remove(scratch);
    return 0;
}
