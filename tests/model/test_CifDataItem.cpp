#include "cif/CifDataItem.h"

#include <gtest/gtest.h>

#include "TestDictionary.h"
#include "cif/CifConcreteDictionary.h"
#include "cif/CifErrorException.h"

namespace {

THandle<CifDataItem> make_item(const std::string& name, bool looped = false) {
    THandle<CifDataItem> item(
        new CifDataItem(THandle<CifDictionary>(new CifConcreteDictionary), name));
    if (looped) item->set_looped();
    return item;
}

// The action text carried by the exception that the call throws, or "" when none.
template <class Call>
std::string refused_action(Call call) {
    try {
        call();
    } catch (const CifErrorException& e) {
        EXPECT_EQ(e.error().id(), CifError::ActionOnUnloopedItem);
        EXPECT_EQ(e.error().line(), -1);
        return e.error().first_argument();
    }
    return "";
}

std::vector<std::string> values_of(const CifDataItem& item) {
    std::vector<std::string> values;
    for (unsigned int i = 0; i < item.size(); ++i)
        values.push_back(item.value(i));
    return values;
}

TEST(CifDataItem, NewItemHasNoValue) {
    THandle<CifDataItem> item = make_item("_cell_length_a");
    EXPECT_FALSE(item->has_value());
    EXPECT_EQ(item->value(), "");
    EXPECT_EQ(item->size(), 0u);
    EXPECT_FALSE(item->is_looped());
    EXPECT_FALSE(item->has_significant_value());
}

TEST(CifDataItem, OneArgumentSetValueLeavesOneValueOrNone) {
    THandle<CifDataItem> item = make_item("_x", true);
    item->add_value("1");
    item->add_value("2");
    item->add_value("3");
    item->set_value("4");
    EXPECT_EQ(values_of(*item), std::vector<std::string>{"4"});
    item->set_value("");
    EXPECT_FALSE(item->has_value());

    THandle<CifDataItem> single = make_item("_y");
    single->set_value("1.5");
    single->set_value(0, "");
    EXPECT_EQ(single->size(), 1u);
    EXPECT_EQ(single->value(0), "");
}

TEST(CifDataItem, IndexedSetValueGrowsALoopedItem) {
    THandle<CifDataItem> item = make_item("_x", true);
    item->add_value("a");
    item->add_value("b");
    item->set_value(4, "e");
    EXPECT_EQ(values_of(*item), (std::vector<std::string>{"a", "b", "", "", "e"}));
    item->set_value(1, "longer value");
    item->remove_value(0);
    item->remove_value(9);
    EXPECT_EQ(values_of(*item), (std::vector<std::string>{"longer value", "", "", "e"}));
    EXPECT_EQ(item->value(7), "");
}

TEST(CifDataItem, NonLoopedItemRefusesASecondValueAndLeavesItsValue) {
    THandle<CifDataItem> item = make_item("_cell_length_a");
    EXPECT_EQ(refused_action([&] { item->add_value("1"); }), "");
    EXPECT_EQ(refused_action([&] { item->add_value("2"); }), "add_value");
    EXPECT_EQ(refused_action([&] { item->value(1); }), "value");
    EXPECT_EQ(refused_action([&] { item->set_value(1, "x"); }), "set_value");
    EXPECT_EQ(refused_action([&] { item->remove_value(1); }), "remove_value");
    EXPECT_EQ(refused_action([&] { item->has_significant_value(1); }), "has_significant_value");
    EXPECT_EQ(values_of(*item), std::vector<std::string>{"1"});
    try {
        item->value(3);
    } catch (const CifErrorException& e) {
        EXPECT_STREQ(e.what(),
                     "Error: Internal error: Action invalid as data item not looped, action: "
                     "value, name: _cell_length_a");
    }
    EXPECT_EQ(refused_action([&] { item->set_value(0, "7"); }), "");
    EXPECT_EQ(item->value(0), "7");
}

TEST(CifDataItem, SignificantValues) {
    THandle<CifDataItem> item = make_item("_x", true);
    for (const char* v : {"?", ".", "??", " ?", "0", "-"})
        item->add_value(v);
    std::vector<bool> significant;
    for (unsigned int i = 0; i < 7; ++i)
        significant.push_back(item->has_significant_value(i));
    EXPECT_EQ(significant, (std::vector<bool>{false, false, true, true, true, true, false}));
    EXPECT_FALSE(item->has_significant_value());
}

TEST(CifDataItem, CopyValueRefusesAColumnForANonLoopedItem) {
    THandle<CifDataItem> column = make_item("_x", true);
    column->add_value("1");
    column->add_value("2");
    THandle<CifDataItem> single = make_item("_y");
    single->set_value("kept");
    EXPECT_EQ(refused_action([&] { single->copy_value(column); }), "copy_value");
    EXPECT_EQ(single->value(), "kept");

    THandle<CifDataItem> one = make_item("_z");
    one->set_value("9");
    single->copy_value(one);
    EXPECT_EQ(single->value(), "9");
    single->copy_value(make_item("_empty"));
    EXPECT_FALSE(single->has_value());
    EXPECT_THROW(single->copy_value(THandle<CifDataItem>()), NullHandleError);

    THandle<CifDataItem> target = make_item("_t", true);
    target->set_comments("#mine\n", CifCommentable::Leading);
    target->copy_value(column);
    EXPECT_EQ(values_of(*target), (std::vector<std::string>{"1", "2"}));
    EXPECT_EQ(target->name(), "_t");
    EXPECT_TRUE(target->has_comments(CifCommentable::Leading));
}

TEST(CifDataItem, EqualityIsNameAndValuesExactly) {
    THandle<CifDataItem> a = make_item("_a");
    THandle<CifDataItem> b = make_item("_A");
    a->set_value("1");
    b->set_value("1");
    EXPECT_NE(*a, *b);
    THandle<CifDataItem> looped = make_item("_a", true);
    looped->add_value("1");
    looped->set_comments("#c\n", CifCommentable::Leading);
    EXPECT_EQ(*a, *looped);
    looped->add_value("");
    EXPECT_NE(*a, *looped);  // an extra empty value still counts
}

TEST(CifDataItem, GettersAskTheDictionaryForTheItemsName) {
    THandle<TestDictionary> dictionary(new TestDictionary);
    CifDictionaryItem& cell = dictionary->define("_cell_length_a");
    cell.category = "cell";
    cell.units = "A";
    cell.type = CifDictionary::TYPE_NUMB;
    cell.related_item.push_back(Relation{"_cell_length_a_esd", Relation::REPLACE});
    CifDataItem item(dictionary, "_Cell_Length_A");
    EXPECT_EQ(item.category(), "cell");
    EXPECT_EQ(item.units(), "A");
    EXPECT_EQ(item.type(), CifDictionary::TYPE_NUMB);
    EXPECT_EQ(item.list(), CifDictionary::LIST_BOTH);
    ASSERT_EQ(item.relation().size(), 1u);
    EXPECT_EQ(item.relation()[0].function, Relation::REPLACE);
    EXPECT_TRUE(item.dictionary() == dictionary.get());

    CifDataItem orphan(THandle<CifDictionary>(), "_x");
    orphan.add_value("stored");  // values need no dictionary; definitions do
    EXPECT_THROW(orphan.units(), NullHandleError);
}

}  // namespace
