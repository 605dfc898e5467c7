// CifDictionaryRuleChecker: the rules a DDL1 dictionary states about the structure of a
// document, beyond single values: which items are looped, which travel together, which
// identify a row, and which refer to others.
#pragma once

#include "cif/Cif.h"
#include "cif/CifApi.h"

/// Run over a read document with the dictionary it was read against; each fault becomes a
/// Warning in the document's container, with the line of the item or of the loop_ keyword:
/// - ItemNotInLoop, ItemInLoop: an item defined `_list yes` outside a loop, `_list no` (or
///   without `_list`, which DDL1 reads as "no") in one;
/// - LoopLacksMandatoryItem: a loop without an item its category marks `_list_mandatory yes`,
///   unless a child of that item stands for it (the anisotropic loop holds
///   _atom_site_aniso_label for _atom_site_label);
/// - LoopLacksReferencedItem: a column whose `_list_reference` item is not in the loop, nor
///   its parent or a child (a reference ending in "_" means the items defined under that
///   name); an item already reported as mandatory is not reported again;
/// - DuplicateKeyValue: a row repeating the key of an earlier one, the keys being the
///   `_list_uniqueness` and `_list_reference` names of the columns that the loop holds, or
///   else the loop's mandatory items; values of `numb` items compare as numbers (10, 1E+1);
///   rows with ? or . in the key are passed over;
/// - ValueWithoutParent: a value of an item with a `_list_link_parent` that no value of the
///   parent has (of any parent, when several are named), when the block gives a parent at
///   all (values ? and . are passed over);
/// - LoopMixesCategories: a loop whose defined items belong to two categories, once per
///   further category;
/// - ItemsSplitOverLoops: items of one `_list_reference` key, with the key itself, written in
///   more than one loop, once per further loop.
/// Every fault is reported: each column, each repeated row, each orphaned value. Names the
/// dictionary does not define take part in no rule.
class CIF_API CifDictionaryRuleChecker {
  public:
    explicit CifDictionaryRuleChecker(THandle<Cif> cif);

    void check();

  private:
    void check_items(const CifDataBlock& block) const;
    void check_loops(const CifDataBlock& block) const;
    void check_parents(const CifDataBlock& block) const;
    void check_groups(const CifDataBlock& block) const;

    THandle<Cif> cif_;
};
