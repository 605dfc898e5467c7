#include "Output.h"

#include <cif/CifErrorText.h>

#include <algorithm>
#include <ostream>

namespace check {

namespace {

// The length of the UTF-8 sequence at `at`, or 0 when the bytes there are not one.
std::size_t utf8_length(std::string_view text, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    const std::size_t length = lead >= 0xF0 && lead < 0xF5   ? 4
                               : lead >= 0xE0                ? 3
                               : lead >= 0xC2 && lead < 0xE0 ? 2
                                                             : 0;
    if (length == 0 || at + length > text.size()) return 0;
    for (std::size_t i = at + 1; i < at + length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) return 0;
    }
    return length;
}

void put_escaped(std::string& out, unsigned code) {
    static const char digits[] = "0123456789abcdef";
    out += "\\u00";
    out += digits[code >> 4];
    out += digits[code & 15];
}

// The arguments the message's template uses.
std::string json_arguments(const CifError& error) {
    const std::string pattern = CifErrorText::message(error.id());
    std::string list = "[";
    if (pattern.find("<1>") != std::string::npos) list += json_string(error.first_argument());
    if (pattern.find("<2>") != std::string::npos)
        list += "," + json_string(error.second_argument());
    return list + "]";
}

std::string severity(CifError::ErrorType type) {
    return type == CifError::Error ? "error" : type == CifError::Warning ? "warning" : "remark";
}

std::string joined(const std::vector<std::string>& parts, const char* separator) {
    std::string text;
    for (const std::string& part : parts)
        text += (text.empty() ? "" : separator) + part;
    return text;
}

std::string file_counts(const Report& report) {
    return std::to_string(report.blocks) + " blocks, " + std::to_string(report.items) + " items, " +
           std::to_string(report.loops) + " loops, " + std::to_string(report.errors) + " errors, " +
           std::to_string(report.warnings) + " warnings, " + std::to_string(report.remarks) +
           " remarks";
}

// A message on one line, safe for a terminal: line ends as \n and \r, other control
// characters (escape sequences of a binary file among them) in octal as \033.
bool is_control(char c) {
    const unsigned char code = static_cast<unsigned char>(c);
    return (code < 0x20 && c != '\t') || code == 0x7F;
}

std::string one_line(std::string text) {
    if (std::none_of(text.begin(), text.end(), is_control)) return text;  // nearly every one
    std::string line;
    for (char c : text) {
        const unsigned char code = static_cast<unsigned char>(c);
        if (c == '\n') {
            line += "\\n";
        } else if (c == '\r') {
            line += "\\r";
        } else if (is_control(c)) {
            line += {'\\', char('0' + (code >> 6)), char('0' + ((code >> 3) & 7)),
                     char('0' + (code & 7))};
        } else {
            line += c;
        }
    }
    return line;
}

class TextPrinter : public Printer {
  public:
    TextPrinter(const Options& options, std::ostream& out) : Printer(options, out) {}

    void print(const Report& report) override {
        if (options_.quiet && report.passed()) return;
        const std::string& path = report.path;
        for (const Finding& f : report.findings) {
            out_ << path << ": " << one_line(f.error.complete_message()) << " ["
                 << int(f.error.id()) << ']';
            if (f.count > 1) {
                out_ << " (" << f.count << " times"
                     << (f.last_line != f.line ? ", last at line " + std::to_string(f.last_line)
                                               : std::string())
                     << ')';
            }
            out_ << '\n';
        }
        if (report.findings_left_out > 0) {
            out_ << path << ": " << report.findings_left_out
                 << " more findings not shown (--max-messages " << options_.max_messages << ")\n";
        }
        for (const Note& note : report.notes)
            out_ << path << ": " << note.block << ": " << note.text << '\n';
        out_ << path << ": " << file_counts(report) << ": "
             << (report.passed() ? "ok" : "FAILED (" + joined(report.failures, "; ") + ")") << '\n';
    }

    void totals(std::size_t files, std::size_t failed) override {
        if (files > 1) {
            out_ << "cif-check: " << files << " files, " << files - failed << " passed, " << failed
                 << " failed\n";
        }
    }
};

// JSON Lines: one object per finding, note, file and batch, told apart by "kind".
class JsonPrinter : public Printer {
  public:
    JsonPrinter(const Options& options, std::ostream& out) : Printer(options, out) {}

    void print(const Report& report) override {
        if (options_.quiet && report.passed()) return;
        const std::string file = "{\"kind\":\"";
        const std::string path = ",\"file\":" + json_string(report.path);
        for (const Finding& f : report.findings) {
            out_ << file << "finding\"" << path << ",\"block\":" << json_string(f.block)
                 << ",\"line\":" << f.line << ",\"id\":" << int(f.error.id()) << ",\"severity\":\""
                 << severity(f.error.type()) << "\",\"message\":" << json_string(f.error.message())
                 << ",\"arguments\":" << json_arguments(f.error) << ",\"count\":" << f.count
                 << ",\"last_line\":" << f.last_line << "}\n";
        }
        for (const Note& note : report.notes) {
            out_ << file << "note\"" << path << ",\"section\":" << json_string(note.section)
                 << ",\"block\":" << json_string(note.block)
                 << ",\"text\":" << json_string(note.text) << "}\n";
        }
        std::string failures;
        for (const std::string& failure : report.failures)
            failures += (failures.empty() ? "" : ",") + json_string(failure);
        out_ << file << "file\"" << path << ",\"blocks\":" << report.blocks
             << ",\"items\":" << report.items << ",\"loops\":" << report.loops
             << ",\"errors\":" << report.errors << ",\"warnings\":" << report.warnings
             << ",\"remarks\":" << report.remarks
             << ",\"findings_left_out\":" << report.findings_left_out
             << ",\"passed\":" << (report.passed() ? "true" : "false") << ",\"failures\":["
             << failures << "]}\n";
    }

    void totals(std::size_t files, std::size_t failed) override {
        out_ << "{\"kind\":\"batch\",\"files\":" << files << ",\"passed\":" << files - failed
             << ",\"failed\":" << failed << "}\n";
    }
};

// Tab-separated: a header, then one row per finding, note and file; tabs, line ends and
// backslashes in a field are written as \t, \n, \r and \\.
class TsvPrinter : public Printer {
  public:
    TsvPrinter(const Options& options, std::ostream& out) : Printer(options, out) {
        out_ << "kind\tfile\tblock\tline\tid\tseverity\tmessage\targument1\targument2\tcount"
                "\tlast_line\n";
    }

    void print(const Report& report) override {
        if (options_.quiet && report.passed()) return;
        for (const Finding& f : report.findings) {
            row({"finding", report.path, f.block, std::to_string(f.line),
                 std::to_string(int(f.error.id())), severity(f.error.type()), f.error.message(),
                 std::string(f.error.first_argument()), std::string(f.error.second_argument()),
                 std::to_string(f.count), std::to_string(f.last_line)});
        }
        for (const Note& note : report.notes)
            row({"note", report.path, note.block, "", "", note.section, note.text});
        row({"file", report.path, "", "", "", report.passed() ? "passed" : "failed",
             file_counts(report) + (report.passed() ? "" : "; " + joined(report.failures, "; "))});
    }

    void totals(std::size_t files, std::size_t failed) override {
        row({"batch", "", "", "", "", failed == 0 ? "passed" : "failed",
             std::to_string(files) + " files, " + std::to_string(failed) + " failed"});
    }

  private:
    void row(std::vector<std::string> fields) {
        fields.resize(11);
        std::string line;
        for (std::size_t i = 0; i < fields.size(); ++i) {
            if (i > 0) line += '\t';
            for (char c : fields[i]) {
                switch (c) {
                    case '\t':
                        line += "\\t";
                        break;
                    case '\n':
                        line += "\\n";
                        break;
                    case '\r':
                        line += "\\r";
                        break;
                    case '\\':
                        line += "\\\\";
                        break;
                    default:
                        line += c;
                }
            }
        }
        out_ << line << '\n';
    }
};

}  // namespace

std::string json_string(std::string_view text) {
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += char(c);
        } else if (c < 0x20 || c == 0x7F) {
            put_escaped(out, c);
        } else if (c >= 0x80) {
            const std::size_t length = utf8_length(text, i);
            if (length == 0) {
                put_escaped(out, c);
                ++i;
                continue;
            }
            out.append(text.substr(i, length));
            i += length;
            continue;
        } else {
            out += char(c);
        }
        ++i;
    }
    return out + "\"";
}

std::unique_ptr<Printer> Printer::make(const Options& options, std::ostream& out) {
    switch (options.format) {
        case Format::Json:
            return std::make_unique<JsonPrinter>(options, out);
        case Format::Tsv:
            return std::make_unique<TsvPrinter>(options, out);
        default:
            return std::make_unique<TextPrinter>(options, out);
    }
}

}  // namespace check
