#include "cif/CifDictionary.h"

#include <gtest/gtest.h>

#include <sstream>

#include "cif/CifConcreteDictionary.h"
#include "cif/CifDictionaryItem.h"

namespace {

template <class T>
std::string printed(const T& value) {
    std::ostringstream out;
    out << value;
    return out.str();
}

TEST(DefinitionRecords, PrintWithoutLineEnds) {
    EXPECT_EQ(printed(Relation{"_a", Relation::CONVERSION}), "Item=_a Function=4");
    EXPECT_EQ(printed(Enumeration{"yes", "abundant"}), "Enumeration=yes Detail=abundant");
    EXPECT_EQ(printed(Example{"P 21/c", ""}), "Example=P 21/c Detail=");
}

TEST(DefinitionRecords, CompareEveryFieldExactly) {
    EXPECT_NE((Enumeration{"yes", ""}), (Enumeration{"YES", ""}));
    EXPECT_NE((Enumeration{"yes", "a"}), (Enumeration{"yes", "b"}));
    EXPECT_EQ((Example{"1", "x"}), (Example{"1", "x"}));
    EXPECT_NE((Relation{"_a", Relation::REPLACE}), (Relation{"_a", Relation::ALTERNATE}));
    EXPECT_EQ(Relation().function, Relation::ALTERNATE);
}

TEST(DefinitionRecords, NewDefinitionHoldsTheDefaults) {
    CifDictionaryItem item;
    EXPECT_EQ(item.type, 3);
    EXPECT_EQ(item.condition, 0);
    EXPECT_EQ(item.list, 1);
    EXPECT_FALSE(item.list_mandatory);
    EXPECT_TRUE(item.category.empty() && item.enumeration.empty() && item.related_item.empty());
}

TEST(CifConcreteDictionary, EmptyDictionaryAnswersEveryQueryWithTheDefaults) {
    THandle<CifConcreteDictionary> concrete(new CifConcreteDictionary);
    THandle<CifDictionary> dictionary = concrete;  // one count, shared
    EXPECT_EQ(concrete.count(), 2);
    const std::string name = "_cell_length_a";
    EXPECT_FALSE(dictionary->entry_with_name(name));
    EXPECT_EQ(dictionary->category(name), "");
    EXPECT_EQ(dictionary->enumeration_range(name), "");
    EXPECT_EQ(dictionary->type(name), CifDictionary::TYPE_UNDEFINED);
    EXPECT_EQ(dictionary->condition(name), CifDictionary::COND_NONE);
    EXPECT_EQ(dictionary->list(name), CifDictionary::LIST_BOTH);
    EXPECT_FALSE(dictionary->list_mandatory(name));
    EXPECT_TRUE(dictionary->enumeration(name).empty());
    EXPECT_TRUE(dictionary->example(name).empty());
    EXPECT_TRUE(dictionary->related_item(name).empty());
    EXPECT_TRUE(dictionary->list_reference(name).empty());
    EXPECT_TRUE(dictionary->list_link_child(name).empty());
    // The shared empty objects are the same whatever the name.
    EXPECT_EQ(&dictionary->enumeration("_x"), &dictionary->enumeration("_y"));
    const CifDictionary::Descriptor& descriptor = dictionary->dictionary_descriptor(name);
    EXPECT_TRUE(descriptor.name.empty() && descriptor.version.empty());

    std::vector<std::string> categories = {"kept"};
    dictionary->category_list(categories);
    EXPECT_EQ(categories, std::vector<std::string>{"kept"});
    EXPECT_FALSE(dictionary->is_category("atom_site"));
    CifDictionary::NameSet members = {"_stale"};
    dictionary->category_members("atom_site", members);
    EXPECT_TRUE(members.empty());
    EXPECT_FALSE(dictionary->name_in_category(name, "cell"));
    EXPECT_EQ(concrete->find_entry(name), concrete->definitions_end());
}

}  // namespace
