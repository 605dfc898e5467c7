#include "cif/VexorCifConsistencyChecker.h"

#include <algorithm>
#include <locale>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "cif/CifCell.h"
#include "host/CrystalChemicalFormula.h"
#include "host/TextUtilities.h"
#include "host/UncertainValue.h"

namespace {

struct CheckCell {
    void operator()(THandle<CifDataBlock> block, THandle<CifErrorContainer> errors) const {
        try {
            CifCell::read(block, *errors);
        } catch (const std::runtime_error&) {
            // A block without a readable cell is not checked further.
        } catch (const std::invalid_argument&) {
        }
    }
};

struct CheckAtomLabels {
    void operator()(THandle<CifDataBlock> block, THandle<CifErrorContainer> errors) const {
        THandle<CifDataItem> labels = block->find("_atom_site_label");
        if (!labels) return;
        std::vector<std::string> significant;
        for (unsigned int i = 0; i < labels->size(); ++i) {
            if (labels->has_significant_value(i)) significant.push_back(labels->value(i));
        }
        std::sort(significant.begin(), significant.end());
        for (auto it = significant.begin(); it != significant.end();) {
            auto next = std::upper_bound(it, significant.end(), *it);
            if (next - it > 1)
                errors->add(CifError(CifError::DuplicateAtomLabel, *it, block->line()));
            it = next;
        }
    }
};

struct CheckFormulaWeight {
    void operator()(THandle<CifDataBlock> block, THandle<CifErrorContainer> errors) const {
        THandle<CifDataItem> sum = block->find("_chemical_formula_sum");
        THandle<CifDataItem> weight = block->find("_chemical_formula_weight");
        if (!sum || !weight || !sum->has_significant_value() || !weight->has_significant_value()) {
            return;
        }
        // A weight stated with its s.u. ("171.3(2)") is a number too.
        std::istringstream stated(weight->value());
        UncertainValue read;
        read.parse(stated);
        const bool number = !stated.fail() && (stated >> std::ws).eof();
        const double given = read.value();
        const double calculated =
            CrystalChemicalFormula(sum->value(), false).molecular_weight_sum();
        if (!number) return;
        if (calculated - 1.1 > given || given - 1.1 > calculated) {
            std::ostringstream text;
            text.imbue(std::locale::classic());
            text << calculated;
            errors->add(CifError(CifError::FormulaWeightMismatch, weight->value(), text.str(),
                                 block->line()));
        }
    }
};

}  // namespace

VexorCifConsistencyChecker::VexorCifConsistencyChecker(THandle<Cif> cif) : cif_(std::move(cif)) {}

VexorCifConsistencyChecker::~VexorCifConsistencyChecker() = default;

template <class Check>
void VexorCifConsistencyChecker::for_each_block(Check check) {
    for (auto block = cif_->block_begin(); block != cif_->block_end(); ++block)
        check(*block, cif_->errors());
}

void VexorCifConsistencyChecker::check_cif() {
    check_spacegroup();
    check_atom_labels();
    check_formula_weight();
}

void VexorCifConsistencyChecker::check_spacegroup() {
    for_each_block(CheckCell());
}

void VexorCifConsistencyChecker::check_atom_labels() {
    for_each_block(CheckAtomLabels());
}

void VexorCifConsistencyChecker::check_formula_weight() {
    for_each_block(CheckFormulaWeight());
}
