#include "cif/CifDictionaryPool.h"

#include <gtest/gtest.h>

#include "DictionarySupport.h"

namespace {

THandle<CifConcreteDictionary> dictionary(const std::string& text) {
    THandle<CifErrorContainer> errors(new CifErrorContainer);
    THandle<CifConcreteDictionary> d = read_dictionary(text, errors);
    EXPECT_TRUE(errors->empty());
    return d;
}

TEST(CifDictionaryPool, EmptyPoolAnswersTheDefaults) {
    CifDictionaryPool pool;
    EXPECT_FALSE(pool.entry_with_name("_x"));
    EXPECT_EQ(pool.type("_x"), CifDictionary::TYPE_UNDEFINED);
    EXPECT_EQ(pool.list("_x"), CifDictionary::LIST_BOTH);
    EXPECT_EQ(pool.units("_x"), "");
    EXPECT_TRUE(pool.enumeration("_x").empty());
}

TEST(CifDictionaryPool, FirstDefiningDictionaryAnswersEveryAttribute) {
    auto a = dictionary("data_on\n_dictionary_name A\ndata_x\n_name '_x'\n_type numb\n");
    auto b = dictionary(
        "data_on\n_dictionary_name B\ndata_x\n_name '_X'\n_type char\n_units mm\n"
        "data_y\n_name '_y'\n_units s\n");
    THandle<CifDictionaryPool> pool(new CifDictionaryPool);
    pool->insert(a);
    pool->insert(b);
    THandle<CifDictionary> as_interface = pool;
    EXPECT_EQ(as_interface->type("_x"), CifDictionary::TYPE_NUMB);
    EXPECT_EQ(as_interface->units("_x"), "");  // never merged with B's
    EXPECT_EQ(as_interface->units("_y"), "s");
    EXPECT_EQ(as_interface->dictionary_descriptor("_x").name, "A");
    EXPECT_EQ(as_interface->dictionary_descriptor("_y").name, "B");
    pool->erase(a);
    EXPECT_EQ(pool->type("_x"), CifDictionary::TYPE_CHAR);
    EXPECT_EQ(pool->units("_x"), "mm");
}

TEST(CifDictionaryPool, EraseRemovesEveryEntryOfTheObject) {
    auto a = dictionary("data_x\n_name '_x'\n");
    auto same_content = dictionary("data_x\n_name '_x'\n");
    CifDictionaryPool pool;
    pool.insert(a);
    pool.insert(same_content);
    pool.insert(a);
    pool.erase(a);
    ASSERT_EQ(pool.size(), 1u);
    EXPECT_TRUE(*pool.begin() == same_content);
    std::vector<CifDictionary::Descriptor> descriptors(5);
    pool.descriptors(descriptors);
    EXPECT_EQ(descriptors.size(), 1u);
}

TEST(CifDictionaryPool, CategoriesCombineAllDictionaries) {
    auto a = dictionary("data_l\n_name '_atom_site_label'\n_category atom_site\n");
    auto b = dictionary(
        "data_x\n_name '_atom_site_fract_x'\n_category atom_site\n"
        "data_c\n_name '_cell_volume'\n_category cell\n");
    CifDictionaryPool pool;
    pool.insert(a);
    pool.insert(b);
    std::vector<std::string> keys = {"_ATOM_SITE_[]"};
    pool.category_list(keys);
    EXPECT_EQ(keys, (std::vector<std::string>{"_ATOM_SITE_[]", "_cell_[]"}));
    CifDictionary::NameSet members;
    pool.category_members("atom_site", members);
    EXPECT_EQ(members, (CifDictionary::NameSet{"_atom_site_fract_x", "_atom_site_label"}));
    EXPECT_TRUE(pool.name_in_category("_atom_site_fract_x", "_atom_site_[]"));
    EXPECT_TRUE(pool.is_category("cell"));
    EXPECT_FALSE(pool.is_category("geom"));
    std::vector<THandle<CifConcreteDictionary>> found;
    pool.dictionaries_with_category("atom_site", found);
    EXPECT_EQ(found.size(), 2u);
    EXPECT_TRUE(pool.dictionary_with_name("_cell_volume") == pool.begin() + 1);
}

}  // namespace
