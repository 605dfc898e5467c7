// Documents, blocks, items and loops, and reading and writing them.

#include <cif/CifLoopRows.h>
#include <cif/CifParserSettings.h>
#include <cif/CifWriteSettings.h>
#include <pybind11/numpy.h>
#include <pybind11/stl.h>
#include <pybind11/stl/filesystem.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>
#include <streambuf>

#include "Bindings.h"

namespace cifpy {

namespace {

// Bytes Python holds, read in place as a stream.
class BytesBuffer : public std::streambuf {
  public:
    BytesBuffer(const char* data, std::size_t size) {
        char* first = const_cast<char*>(data);  // only ever read
        setg(first, first, first + size);
    }
};

CifParserSettings settings_for(int max_line_length) {
    CifParserSettings settings;
    settings.max_line_length = max_line_length;
    return settings;
}

// A document to read into. Against no dictionary every item would be non-standard, so
// those remarks are left out then, as in a syntax check.
Document new_document(const Dictionary* dictionary, const std::vector<int>& ignore) {
    Document document{make_handle<Cif>(dictionary_or_empty(dictionary))};
    CifErrorContainer& errors = *document.cif->errors();
    if (dictionary == nullptr) errors.ignore_error(CifError::NonStandardDataItem);
    for (int id : ignore)
        errors.ignore_error(CifError::ErrorID(id));
    return document;
}

Document read_file(const std::string& path, const Dictionary* dictionary, int max_line_length,
                   const std::vector<int>& ignore) {
    Document document = new_document(dictionary, ignore);
    py::gil_scoped_release unlocked;
    document.cif->read_file(path, settings_for(max_line_length));
    return document;
}

Document read_bytes(const py::bytes& data, const Dictionary* dictionary, int max_line_length,
                    const std::vector<int>& ignore) {
    Document document = new_document(dictionary, ignore);
    char* bytes = nullptr;
    py::ssize_t size = 0;
    PyBytes_AsStringAndSize(data.ptr(), &bytes, &size);
    py::gil_scoped_release unlocked;  // `data` keeps the bytes while the caller holds it
    BytesBuffer buffer(bytes, std::size_t(size));
    std::istream in(&buffer);
    document.cif->read(in, settings_for(max_line_length));
    return document;
}

CifWriteSettings write_settings(int line_length) {
    CifWriteSettings settings;
    settings.line_length = line_length;
    return settings;
}

py::str document_text(const Document& document, int line_length) {
    std::ostringstream out;
    document.cif->write(out, write_settings(line_length));
    return text(out.str());
}

py::str block_text(const Block& block, int line_length) {
    std::ostringstream out;
    block.block->print(out, write_settings(line_length));
    return text(out.str());
}

void write_document(const Document& document, const std::filesystem::path& path, int line_length) {
    std::ofstream out(path, std::ios::binary);
    if (out) document.cif->write(out, write_settings(line_length));
    if (!out) {
        PyErr_SetFromErrnoWithFilename(PyExc_OSError, path.string().c_str());
        throw py::error_already_set();
    }
}

// Python's index, negative from the end, checked against the size.
std::size_t checked_index(py::ssize_t index, std::size_t size, const char* what) {
    const py::ssize_t count = py::ssize_t(size);
    if (index < 0) index += count;
    if (index < 0 || index >= count)
        throw py::index_error(std::string(what) + " index out of range");
    return std::size_t(index);
}

Block block_named(const Document& document, const std::string& name) {
    const auto found = document.cif->block_with_name(name);
    if (found == document.cif->block_end()) throw py::key_error(name);
    return Block{*found};
}

THandle<CifDataItem> item_named(const Block& block, const std::string& name) {
    THandle<CifDataItem> item = block.block->find(name);
    if (!item) throw py::key_error(name);
    return item;
}

py::object item_number(const CifDataItem& item, py::ssize_t index) {
    const unsigned at = unsigned(checked_index(index, item.size(), "value"));
    const std::optional<UncertainValue> read = number_of(item, at);
    return read ? number(*read) : py::none();
}

py::list value_list(const CifDataItem& item) {
    py::list values;
    for (unsigned int i = 0; i < item.size(); ++i)
        values.append(text(item.value_view(i)));
    return values;
}

// What block[name] gives: the list of a looped item's values, else its one value (None when
// it has none).
py::object item_value(const CifDataItem& item) {
    if (item.is_looped()) return value_list(item);
    if (!item.has_value()) return py::none();
    return text(item.value_view(0));
}

void set_item(const Block& block, const std::string& name, const py::handle& value) {
    if (py::isinstance<py::str>(value)) {
        block.block->set_value(name, value.cast<std::string>());
        return;
    }
    if (!py::isinstance<py::sequence>(value) || py::isinstance<py::bytes>(value))
        throw py::type_error("a value is a str, or a list of str for a looped item");
    const auto values = value.cast<std::vector<std::string>>();
    THandle<CifDataItem> item = block.block->find(name);
    if (!item || !item->is_looped()) {
        block.block->create_loop({name});
        item = block.block->find(name);
    }
    item->clear_value();
    for (const std::string& text : values)
        item->add_value(text);
}

// Values as numbers in two arrays, values and s.u.: NaN for "?", "." and a value given
// without s.u. (its s.u.); text that is no number raises ValueError.
py::tuple number_arrays(const CifDataItem& item) {
    const std::size_t size = item.size();
    const auto count = static_cast<py::ssize_t>(size);
    py::array_t<double> values(count), sus(count);
    double* value = values.mutable_data();
    double* su = sus.mutable_data();
    const double none = std::numeric_limits<double>::quiet_NaN();
    for (std::size_t i = 0; i < size; ++i) {
        value[i] = su[i] = none;
        const std::optional<UncertainValue> read = number_of(item, unsigned(i));
        if (!read) continue;
        value[i] = read->value();
        if (read->uncertainty().given()) su[i] = read->uncertainty().value();
    }
    return py::make_tuple(values, sus);
}

py::object row_dict(const CifLoopRows::Row& row, const CifLoopRows& rows) {
    py::dict values;
    for (std::size_t column = 0; column < row.size(); ++column) {
        const std::string_view value = row[column];
        values[text(rows.columns()[column]->name())] =
            value.data() == nullptr ? py::object(py::none()) : py::object(text(value));
    }
    return std::move(values);
}

THandle<CifDataItem> loop_column(const Loop& loop, const std::string& name) {
    if (!loop.loop->contains_column(name)) throw py::key_error(name);
    return item_named(Block{loop.block}, name);
}

void add_row(const Loop& loop, const std::vector<std::string>& values) {
    const auto& columns = loop.loop->column_names();
    if (values.size() != columns.size()) {
        throw py::value_error("a row of " + std::to_string(values.size()) + " values for " +
                              std::to_string(columns.size()) + " columns");
    }
    for (std::size_t i = 0; i < columns.size(); ++i)
        loop.block->obtain(columns[i])->add_value(values[i]);
}

Loop add_loop(const Block& block, const std::vector<std::string>& columns,
              const std::vector<std::vector<std::string>>& rows) {
    if (columns.empty()) throw py::value_error("a loop needs at least one column");
    block.block->create_loop(columns);
    std::list<THandle<CifLoop>> made;
    block.block->find_loops_containing(columns, made);
    Loop loop{block.block, made.front()};
    for (const std::vector<std::string>& row : rows)
        add_row(loop, row);
    return loop;
}

CifCommentable& commentable(const Block& block) {
    return *block.block;
}
CifCommentable& commentable(const Item& item) {
    return *item.item;
}
CifCommentable& commentable(const Loop& loop) {
    return *loop.loop;
}

template <class Wrapper>
void bind_comments(py::class_<Wrapper>& cls) {
    cls.def(
           "comments",
           [](const Wrapper& w, CifCommentable::CommentType kind) {
               return text(commentable(w).comments(kind));
           },
           py::arg("kind") = CifCommentable::Leading,
           "The comments of that place, their '#' and line ends kept ('' for none).")
        .def(
            "set_comments",
            [](const Wrapper& w, const std::string& comments, CifCommentable::CommentType kind) {
                commentable(w).set_comments(comments, kind);
            },
            py::arg("text"), py::arg("kind") = CifCommentable::Leading,
            "Sets the comments of that place: lines each starting with '#'.");
}

void bind_read(py::module_& m) {
    m.def("_read_file", &read_file, py::arg("path"), py::arg("dictionary"),
          py::arg("max_line_length"), py::arg("ignore"));
    m.def("_read_bytes", &read_bytes, py::arg("data"), py::arg("dictionary"),
          py::arg("max_line_length"), py::arg("ignore"));
}

void bind_document_class(py::module_& m) {
    py::class_<Document>(m, "Document",
                         "A CIF text read into blocks, with every problem found as a numbered "
                         "diagnostic. Blocks are found by index or name; `str(doc)` writes it.")
        .def(py::init([](const Dictionary* dictionary) {
                 return Document{make_handle<Cif>(dictionary_or_empty(dictionary))};
             }),
             py::arg("dictionary") = nullptr,
             "An empty document; its blocks check against the dictionary.")
        .def_property_readonly(
            "diagnostics", [](const Document& d) { return diagnostics(*d.cif->errors()); },
            "Every problem found by the read and by the checks run since, in order.")
        .def_property_readonly(
            "dictionary",
            [](const Document& d) {
                return Dictionary{d.cif->dictionary(), {}, {}};
            },
            "The dictionary the document's values are checked against.")
        .def("__len__", [](const Document& d) { return d.cif->blocks(); })
        .def("__getitem__",
             [](const Document& d, py::ssize_t index) {
                 return Block{
                     d.cif->block(unsigned(checked_index(index, d.cif->blocks(), "block")))};
             })
        .def("__getitem__", &block_named, "The block of that name (KeyError when none).")
        .def("__contains__",
             [](const Document& d, const std::string& name) {
                 return d.cif->block_with_name(name) != d.cif->block_end();
             })
        .def("__iter__",
             [](const Document& d) {
                 py::list blocks;
                 for (auto block = d.cif->block_begin(); block != d.cif->block_end(); ++block)
                     blocks.append(Block{*block});
                 return py::iter(blocks);
             })
        .def(
            "new_block",
            [](const Document& d, const std::string& name, std::optional<py::ssize_t> index) {
                const std::size_t at =
                    index ? checked_index(*index, d.cif->blocks() + 1, "block") : d.cif->blocks();
                const auto made = d.cif->new_block(name, d.cif->block_begin() + std::ptrdiff_t(at));
                if (made == d.cif->block_end())
                    throw py::value_error("the document has a block named " + name);
                return Block{*made};
            },
            py::arg("name"), py::arg("index") = py::none(),
            "Adds an empty block at the index (the end by default); ValueError when the name is "
            "taken.")
        .def("write", &write_document, py::arg("path"), py::arg("line_length") = 80,
             "Writes the document as CIF to the file (OSError when it cannot).")
        .def("to_string", &document_text, py::arg("line_length") = 80, "The document as CIF text.")
        .def("__str__", [](const Document& d) { return document_text(d, 80); });
}

void bind_block(py::module_& m) {
    py::class_<Block> block(m, "Block",
                            "A data block: items by name (block['_cell_length_a']), loops, "
                            "comments. Iterating gives the item names in write order.");
    block
        .def_property_readonly(
            "name", [](const Block& b) { return text(b.block->name()); },
            "The name with its data_ heading ('data_1100893').")
        .def_property_readonly(
            "line", [](const Block& b) { return b.block->line(); },
            "The line of its data_ heading (-1 for a block made here).")
        .def("__len__", [](const Block& b) { return b.block->item_count(); })
        .def(
            "keys",
            [](const Block& b) {
                py::list names;
                for (auto it = b.block->begin_write_order(); it != b.block->end_write_order(); ++it)
                    names.append(text((*it)->name()));
                return names;
            },
            "The item names in write order.")
        .def("__iter__", [](const Block& b) { return py::iter(py::cast(b).attr("keys")()); })
        .def("__contains__",
             [](const Block& b, const std::string& name) { return bool(b.block->find(name)); })
        .def(
            "__getitem__",
            [](const Block& b, const std::string& name) {
                return item_value(*item_named(b, name));
            },
            "A looped item's values as a list, else its value (None when it has none); "
            "KeyError when the block has no such item.")
        .def(
            "get",
            [](const Block& b, const std::string& name, py::object fallback) {
                const THandle<CifDataItem> item = b.block->find(name);
                return item ? item_value(*item) : fallback;
            },
            py::arg("name"), py::arg("default") = py::none(),
            "What block[name] gives, or the default when the block has no such item.")
        .def("__setitem__", &set_item,
             "Sets an item's value (text), or a looped item's values (a list of texts; an item "
             "not in a loop gets a loop of its own).")
        .def("__delitem__",
             [](const Block& b, const std::string& name) {
                 item_named(b, name);
                 b.block->remove(name);
             })
        .def(
            "item",
            [](const Block& b, const std::string& name) { return Item{item_named(b, name)}; },
            "The item itself (KeyError when none): values, numbers, comments, line.")
        .def(
            "number",
            [](const Block& b, const std::string& name, py::ssize_t index) {
                return item_number(*item_named(b, name), index);
            },
            py::arg("name"), py::arg("index") = 0,
            "The value as a Number (value, su); None for '?' and '.'; ValueError for text.")
        .def_property_readonly(
            "loops",
            [](const Block& b) {
                py::list loops;
                for (auto it = b.block->begin_loops(); it != b.block->end_loops(); ++it)
                    loops.append(Loop{b.block, *it});
                return loops;
            },
            "The block's loops in the order they were made.")
        .def(
            "loop",
            [](const Block& b, const std::string& name) -> py::object {
                std::list<THandle<CifLoop>> found;
                b.block->find_loops_containing({name}, found);
                if (found.empty() || !found.front()) return py::none();
                return py::cast(Loop{b.block, found.front()});
            },
            "The loop holding the item, or None.")
        .def("add_loop", &add_loop, py::arg("columns"), py::arg("rows") = py::list(),
             "Makes a loop of the columns (items named there join it) and adds the rows.")
        .def(
            "remove_loop",
            [](const Block& b, const std::string& name) {
                if (!b.block->is_looped(name)) throw py::key_error(name);
                std::vector<std::string> columns;
                b.block->loop_columns(name, columns);
                b.block->remove(columns);
            },
            py::arg("name"), "Removes the loop holding the item, with all its columns.")
        .def("to_string", &block_text, py::arg("line_length") = 80, "The block as CIF text.")
        .def("__str__", [](const Block& b) { return block_text(b, 80); })
        .def("__repr__",
             [](const Block& b) { return text("<cif.Block " + b.block->name() + ">"); });
    bind_comments(block);
}

void bind_item(py::module_& m) {
    py::class_<Item> item(m, "Item", "One data item: its name, its value or looped values.");
    item.def_property_readonly(
            "name", [](const Item& i) { return text(i.item->name()); },
            "The data name as the file spells it.")
        .def_property_readonly(
            "line", [](const Item& i) { return i.item->line(); },
            "The line it was read from (0 for an item made here).")
        .def_property_readonly(
            "looped", [](const Item& i) { return i.item->is_looped(); },
            "Whether the item is a column of a loop.")
        .def_property(
            "value",
            [](const Item& i) -> py::object {
                if (!i.item->has_value()) return py::none();
                return text(i.item->value_view(0));
            },
            [](const Item& i, const std::string& value) { i.item->set_value(value); },
            "The first value (None when there is none); setting it checks it against the "
            "dictionary.")
        .def_property_readonly(
            "values", [](const Item& i) { return value_list(*i.item); },
            "All its values, as texts.")
        .def("__len__", [](const Item& i) { return i.item->size(); })
        .def("__getitem__",
             [](const Item& i, py::ssize_t index) {
                 return text(
                     i.item->value_view(unsigned(checked_index(index, i.item->size(), "value"))));
             })
        .def(
            "number", [](const Item& i, py::ssize_t index) { return item_number(*i.item, index); },
            py::arg("index") = 0, "The value as a Number (value, su); None for '?' and '.'.")
        .def(
            "numbers", [](const Item& i) { return number_arrays(*i.item); },
            "The values as two numpy arrays, values and s.u. (NaN where none).")
        .def(
            "add_value", [](const Item& i, const std::string& value) { i.item->add_value(value); },
            "Adds a value to a looped item (cif.Error for an item not in a loop).")
        .def(
            "validate",
            [](const Item& i, const std::string& value) { return i.item->validate(value); },
            "How the value fares against the item's definition.")
        .def("__repr__", [](const Item& i) { return text("<cif.Item " + i.item->name() + ">"); });
    bind_comments(item);
}

void bind_loop(py::module_& m) {
    py::class_<Loop> loop(m, "Loop",
                          "A loop of a block: its columns, and rows as dicts from column name "
                          "to value (None past the end of a short column).");
    loop.def_property_readonly(
            "columns",
            [](const Loop& l) {
                py::list names;
                for (const std::string& name : l.loop->column_names())
                    names.append(text(name));
                return names;
            },
            "The column names, in order.")
        .def_property_readonly(
            "line", [](const Loop& l) { return l.loop->line(); }, "The line of its loop_ keyword.")
        .def("__len__", [](const Loop& l) { return CifLoopRows(*l.block, *l.loop).size(); })
        .def("__contains__",
             [](const Loop& l, const std::string& name) { return l.loop->contains_column(name); })
        .def("__getitem__",
             [](const Loop& l, py::ssize_t index) {
                 const CifLoopRows rows(*l.block, *l.loop);
                 return row_dict(rows[checked_index(index, rows.size(), "row")], rows);
             })
        .def("__iter__",
             [](const Loop& l) {
                 const CifLoopRows rows(*l.block, *l.loop);
                 py::list all;
                 for (const CifLoopRows::Row row : rows)
                     all.append(row_dict(row, rows));
                 return py::iter(all);
             })
        .def(
            "column",
            [](const Loop& l, const std::string& name) {
                return value_list(*loop_column(l, name));
            },
            "The column's values.")
        .def(
            "numbers",
            [](const Loop& l, const std::string& name) {
                return number_arrays(*loop_column(l, name));
            },
            "The column as two numpy arrays, values and s.u. (NaN where none).")
        .def("add_row", &add_row, "Adds a row: one text per column, in column order.")
        .def("__repr__", [](const Loop& l) {
            return "<cif.Loop of " + std::to_string(l.loop->size()) + " columns>";
        });
    bind_comments(loop);
}

}  // namespace

void bind_document(py::module_& m) {
    py::enum_<CifCommentable::CommentType>(m, "Comment", "Where comments stand about a thing.")
        .value("Leading", CifCommentable::Leading)
        .value("AfterName", CifCommentable::AfterName)
        .value("AfterValue", CifCommentable::AfterValue)
        .value("Trailing", CifCommentable::Trailing);
    py::enum_<CifDataItem::Validated>(m, "Validated", "How a value fares against its definition.")
        .value("Valid", CifDataItem::Valid)
        .value("NotInEnumeration", CifDataItem::NotInEnumeration)
        .value("BadlyFormattedNumber", CifDataItem::BadlyFormattedNumber)
        .value("NotANumber", CifDataItem::NotANumber)
        .value("BelowMinimum", CifDataItem::BelowMinimum)
        .value("AboveMaximum", CifDataItem::AboveMaximum)
        .value("UnexpectedEsd", CifDataItem::UnexpectedEsd)
        .value("BadRange", CifDataItem::BadRange)
        .value("BadSubscriptMarkup", CifDataItem::BadSubscriptMarkup)
        .value("BadSuperscriptMarkup", CifDataItem::BadSuperscriptMarkup);
    bind_read(m);
    bind_document_class(m);
    bind_block(m);
    bind_item(m);
    bind_loop(m);
}

}  // namespace cifpy
