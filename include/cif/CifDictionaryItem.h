// CifDictionaryItem: the definition of one data name, shared by the names of its synonyms.
#pragma once

#include <string>
#include <vector>

#include "cif/CifApi.h"
#include "cif/CifDictionary.h"

/// Each field is filled from the DDL1 attribute of the same name (_category, _type, ...).
struct CIF_API CifDictionaryItem {
    std::string category;
    std::string list_link_parent;
    std::string enumeration_default;
    std::string enumeration_range;
    std::string definition;
    std::string units;
    std::string units_detail;
    std::string type_construct;
    std::string list_uniqueness;
    CifDictionary::DataType type = CifDictionary::TYPE_UNDEFINED;
    CifDictionary::DataTypeCond condition = CifDictionary::COND_NONE;
    CifDictionary::ListType list = CifDictionary::LIST_BOTH;
    bool list_mandatory = false;
    std::vector<std::string> list_link_child;
    std::vector<Example> example;
    std::vector<Enumeration> enumeration;
    std::vector<Relation> related_item;
    std::vector<std::string> list_reference;

    // What DDL1 states beyond the single values above. `_list_uniqueness` and
    // `_list_link_parent` may name several items (their string fields hold the first), and a
    // definition without `_list` means "no" in DDL1, though `list` answers "both" for it.
    std::vector<std::string> list_uniqueness_names;
    std::vector<std::string> list_link_parents;
    bool list_stated = false;
};
