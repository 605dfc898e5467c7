// CifDictionary: the queries every consumer of a data dictionary asks, and the small value
// records (enumerated values, examples, related items) that definitions hold in lists.
#pragma once

#include <iosfwd>
#include <set>
#include <string>
#include <vector>

#include "cif/CifApi.h"
#include "host/THandle.h"
#include "host/TextUtilities.h"

struct CifDictionaryItem;

/// One permitted value of an item and its description.
struct CIF_API Enumeration {
    std::string value;
    std::string detail;
    bool operator==(const Enumeration& other) const;
    bool operator!=(const Enumeration& other) const { return !(*this == other); }
};

/// One example value of an item and its description.
struct CIF_API Example {
    std::string value;
    std::string detail;
    bool operator==(const Example& other) const;
    bool operator!=(const Example& other) const { return !(*this == other); }
};

/// An item related to the defined one, and how.
struct CIF_API Relation {
    enum RelatedFunction { ALTERNATE = 1, CONVENTION = 2, CONVERSION = 4, REPLACE = 8 };
    std::string item;
    RelatedFunction function = ALTERNATE;
    bool operator==(const Relation& other) const;
    bool operator!=(const Relation& other) const { return !(*this == other); }
};

/// Written without a line end: "Enumeration=v Detail=d", "Example=v Detail=d",
/// "Item=_x Function=4".
CIF_API std::ostream& operator<<(std::ostream& out, const Enumeration& enumeration);
CIF_API std::ostream& operator<<(std::ostream& out, const Example& example);
CIF_API std::ostream& operator<<(std::ostream& out, const Relation& relation);

/// Data names are matched without regard to letter case. Category arguments may carry the
/// DDL1 markers or not: atom_site, _atom_site and _atom_site_[] name one category. No query
/// fails: an unknown name gets the defaults (empty text and lists, TYPE_UNDEFINED,
/// COND_NONE, LIST_BOTH, false). No query changes a dictionary, and its handles are counted
/// atomically: once read, one dictionary may serve reads and checks on several threads.
class CIF_API CifDictionary : public cif::detail::CountedAtomically {
  public:
    enum DataType { TYPE_NUMB = 0, TYPE_CHAR = 1, TYPE_NULL = 2, TYPE_UNDEFINED = 3 };
    enum DataTypeCond { COND_NONE = 0, COND_ESD = 1, COND_SEQ = 2 };
    enum ListType { LIST_NO = 0, LIST_BOTH = 1, LIST_YES = 2 };

    /// Identity of one dictionary, from its _dictionary_name, _history, _update, _version.
    struct CIF_API Descriptor {
        std::string name;
        std::string history;
        std::string update;
        std::string version;
    };

    using NameSet = std::set<std::string, CaseInsensitiveStringLess>;

    virtual ~CifDictionary();

    virtual bool entry_with_name(const std::string& name) const = 0;
    virtual const std::string category(const std::string& name) const = 0;
    virtual const std::string list_link_parent(const std::string& name) const = 0;
    virtual const std::vector<std::string>& list_reference(const std::string& name) const = 0;
    virtual const std::string enumeration_default(const std::string& name) const = 0;
    virtual const std::string enumeration_range(const std::string& name) const = 0;
    virtual const std::string definition(const std::string& name) const = 0;
    virtual const std::string units(const std::string& name) const = 0;
    virtual const std::string units_detail(const std::string& name) const = 0;
    virtual const std::string type_construct(const std::string& name) const = 0;
    virtual const std::string list_uniqueness(const std::string& name) const = 0;
    virtual DataType type(const std::string& name) const = 0;
    virtual DataTypeCond condition(const std::string& name) const = 0;
    virtual ListType list(const std::string& name) const = 0;
    virtual bool list_mandatory(const std::string& name) const = 0;
    virtual const std::vector<std::string>& list_link_child(const std::string& name) const = 0;
    virtual const std::vector<Example>& example(const std::string& name) const = 0;
    virtual const std::vector<Enumeration>& enumeration(const std::string& name) const = 0;
    virtual const std::vector<Relation>& related_item(const std::string& name) const = 0;
    /// The descriptor of the dictionary that defines the name.
    virtual const Descriptor& dictionary_descriptor(const std::string& name) const = 0;
    /// Adds the known category keys (with markers) to `names`.
    virtual void category_list(std::vector<std::string>& names) const = 0;
    virtual bool is_category(const std::string& category) const = 0;
    /// `members` becomes the data names of the category.
    virtual void category_members(const std::string& category, NameSet& members) const = 0;
    virtual bool name_in_category(const std::string& name, const std::string& category) const = 0;

    /// The whole definition that answers for the name, null when none does: for what the
    /// queries above do not carry (every name of a list-valued `_list_uniqueness` or
    /// `_list_link_parent`, whether `_list` was stated). Valid as the references above.
    virtual const CifDictionaryItem* find_definition(const std::string& name) const = 0;
};
