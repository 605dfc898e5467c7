// cif-check: checks CIF files, summarises the structures they hold and converts them through
// the database. Run `cif-check --help` for the options.
#include <cif/CifVersion.h>
#include <host/VexorLog.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <iostream>
#include <mutex>
#include <optional>
#include <set>
#include <thread>

#include "Check.h"
#include "Output.h"
#include "Structures.h"

namespace {

using namespace check;
namespace fs = std::filesystem;

// Where each input's document is written: the one target, or for several inputs a file of
// the input's name (less .gz) in the target folder. Empty when the targets cannot be made.
Names write_targets(const Options& options, const Names& files, std::string& error) {
    if (options.write_to.empty()) return Names(files.size());
    if (files.size() == 1) return {options.write_to};
    std::error_code status;
    if (!fs::is_directory(options.write_to, status)) {
        error =
            "--write with several files needs an existing folder, not '" + options.write_to + "'";
        return {};
    }
    Names targets;
    std::set<std::string> taken;
    for (const std::string& file : files) {
        fs::path name = fs::path(file).filename();
        if (name.extension() == ".gz") name = name.stem();
        if (file == "-" || !taken.insert(name.string()).second) {
            error = "--write: two inputs would be written to " + name.string();
            return {};
        }
        targets.push_back((fs::path(options.write_to) / name).string());
    }
    return targets;
}

// A line on the terminal saying how far a long batch has come, cleared before each report
// when the reports go to the same terminal.
class Progress {
  public:
    Progress(std::size_t total, bool reports_on_terminal)
        : total_(total),
          shown_(total > 1 && isatty(STDERR_FILENO)),
          clear_first_(reports_on_terminal) {}
    ~Progress() { clear(); }

    void before_report() {
        if (clear_first_) clear();
    }
    void after_report(std::size_t done, const std::string& path) {
        const auto now = std::chrono::steady_clock::now();
        if (!shown_ || now - last_ < std::chrono::milliseconds(100)) return;
        last_ = now;
        std::cerr << "\r\033[K[" << done << '/' << total_ << "] " << path << std::flush;
        on_screen_ = true;
    }

  private:
    void clear() {
        if (on_screen_) std::cerr << "\r\033[K" << std::flush;
        on_screen_ = false;
    }

    std::size_t total_;
    bool shown_;
    bool clear_first_;
    bool on_screen_ = false;
    std::chrono::steady_clock::time_point last_{};
};

// Checks the files on worker threads, each with its own dictionary (a document and its
// dictionary belong to one thread at a time), and hands each report over in file order as
// soon as it and those before it are done. Workers stay a few files ahead at most, so that
// memory does not grow with the batch.
class Batch {
  public:
    Batch(const Names& files, const Names& targets, const Options& options)
        : files_(files), targets_(targets), options_(options), reports_(files.size()) {}

    template <class Consume>
    void run(THandle<CifDictionary> loaded, Consume consume) {
        const std::size_t workers =
            std::max<std::size_t>(1, std::min<std::size_t>(options_.jobs, files_.size()));
        std::vector<std::thread> threads;
        for (std::size_t t = 0; t < workers; ++t) {
            THandle<CifDictionary> dictionary = t == 0 ? loaded : THandle<CifDictionary>();
            threads.emplace_back([this, dictionary]() mutable { work(dictionary); });
        }
        for (std::size_t i = 0; i < files_.size(); ++i) {
            std::unique_lock<std::mutex> lock(mutex_);
            changed_.wait(lock, [&] { return reports_[i].has_value(); });
            Report report = std::move(*reports_[i]);
            reports_[i].reset();
            consumed_ = i + 1;
            lock.unlock();
            changed_.notify_all();
            consume(report);
        }
        for (std::thread& thread : threads)
            thread.join();
    }

  private:
    void work(THandle<CifDictionary> dictionary) {
        if (!dictionary) dictionary = load_dictionaries(options_.dictionaries, nullptr);
        const std::size_t ahead = 4 * std::max(1u, options_.jobs);
        for (;;) {
            std::unique_lock<std::mutex> lock(mutex_);
            changed_.wait(lock,
                          [&] { return next_ >= files_.size() || next_ < consumed_ + ahead; });
            const std::size_t i = next_++;
            lock.unlock();
            if (i >= files_.size()) return;
            Report report = checked(i, dictionary);
            lock.lock();
            reports_[i] = std::move(report);
            lock.unlock();
            changed_.notify_all();
        }
    }

    Report checked(std::size_t i, const THandle<CifDictionary>& dictionary) {
        try {
            return check_file(files_[i], dictionary, options_, targets_[i]);
        } catch (const std::exception& e) {
            Report report;
            report.path = files_[i];
            report.failures.push_back(std::string("not checked: ") + e.what());
            return report;
        }
    }

    const Names& files_;
    const Names& targets_;
    const Options& options_;
    std::vector<std::optional<Report>> reports_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::size_t next_ = 0;
    std::size_t consumed_ = 0;
};

int usage_error(const std::string& error) {
    std::cerr << "cif-check: " << error << "\nTry 'cif-check --help' for more information.\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    std::string error;
    if (!parse_options(argc, argv, options, error)) return usage_error(error);
    if (options.help) {
        std::cout << usage;
        return 0;
    }
    if (options.version) {
        std::cout << "cif-check " << CIF_VERSION_STRING << " (library " << cif::version() << ")\n";
        return 0;
    }
    if (options.write_to == "-" && options.convert_to == "-")
        return usage_error("--write - and --convert - would both write to standard output");
    Names files;
    bool clean = expand_inputs(options.files, files, std::cerr);
    const Names targets = write_targets(options, files, error);
    if (targets.size() != files.size()) return usage_error(error);
    // Dictionary problems are told once, here, before any file is checked.
    const THandle<CifDictionary> dictionary = load_dictionaries(options.dictionaries, &std::cerr);
    if (!dictionary) return 2;
    std::ostream quiet(nullptr);
    VexorLog::set_stream(&quiet);  // conversion remarks are in the diagnostics already
    // Standard output may carry a written CIF: the reports then go to standard error.
    std::ostream& out = options.reports_to_standard_error() ? std::cerr : std::cout;
    const std::unique_ptr<Printer> printer = Printer::make(options, out);
    Converter converter(std::cerr);
    Progress progress(files.size(),
                      isatty(options.reports_to_standard_error() ? STDERR_FILENO : STDOUT_FILENO));
    std::size_t done = 0, failed = 0;
    Batch(files, targets, options).run(dictionary, [&](Report& report) {
        progress.before_report();
        printer->print(report);
        out.flush();
        failed += report.passed() ? 0 : 1;
        if (!options.convert_to.empty()) clean = converter.add(report) && clean;
        progress.after_report(++done, report.path);
    });
    printer->totals(files.size(), failed);
    if (!options.convert_to.empty()) clean = converter.write(options.convert_to) && clean;
    return clean && failed == 0 ? 0 : 1;
}
