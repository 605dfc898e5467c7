// VexorCifConsistencyChecker: contradictions across the items of each block of a document
// (symmetry statements that disagree, atom labels used twice, a formula weight that does
// not match the formula), added as remarks to the document's own diagnostics.
#pragma once

#include "cif/Cif.h"
#include "cif/CifApi.h"
#include "host/THandle.h"

class CIF_API VexorCifConsistencyChecker {
  public:
    explicit VexorCifConsistencyChecker(THandle<Cif> cif);
    virtual ~VexorCifConsistencyChecker();

    /// The three checks below, in this order.
    void check_cif();
    /// Reads each block's cell; its remarks stay, a cell that cannot be read is passed over.
    void check_spacegroup();
    /// DuplicateAtomLabel once per label given twice or more, in byte order.
    void check_atom_labels();
    /// FormulaWeightMismatch when the stated weight and the formula's differ by more than 1.1.
    void check_formula_weight();

  private:
    template <class Check>
    void for_each_block(Check check);

    THandle<Cif> cif_;
};
