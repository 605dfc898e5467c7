#include "cif/CifChemicalInfo.h"

#include "cif/CifUtilities.h"
#include "host/CifChemicalNameStyleFinder.h"
#include "host/CifRichTextGenerator.h"
#include "host/KeshChemicalNameStyleFinder.h"
#include "host/KeshRichTextGenerator.h"
#include "host/TextItem.h"
#include "host/TextUtilities.h"

namespace {

const std::string common_name = "_chemical_name_common";
const std::string source_name = "_chemical_compound_source";
const std::string moiety_name = "_chemical_formula_moiety";
const std::string systematic_name = "_chemical_name_systematic";
const std::string biological_name = "_chemical_properties_biological";

std::string cif_to_kesh_name(const std::string& text) {
    KeshRichTextGenerator generator;
    TextItem(make_handle<CifChemicalNameStyleFinder>(), text).mark_up_text(generator);
    return strip(generator.text(), "\n");
}

std::string kesh_to_cif_name(const std::string& text) {
    CifRichTextGenerator generator;
    return TextItem(make_handle<KeshChemicalNameStyleFinder>(), text).mark_up_text(generator);
}

}  // namespace

THandle<ChemicalInfo> CifChemicalInfo::read(THandle<CifDataBlock> block) {
    std::vector<std::string> synonyms;
    const std::string common = block->value(common_name);
    if (!common.empty()) synonyms.push_back(common);
    return make_handle<ChemicalInfo>(
        cif_to_kesh_name(block->value(systematic_name)), block->value(source_name),
        block->value(moiety_name), block->value(biological_name), std::string(), std::string(),
        std::string(), std::vector<ChemicalClassification>(), synonyms);
}

void CifChemicalInfo::write(THandle<CifDataBlock> block, const ChemicalInfo& info) {
    set_if_not_empty(block, source_name, info.compound_source());
    if (!info.synonyms().empty()) set_if_not_empty(block, common_name, info.synonyms().front());
    set_if_not_empty(block, moiety_name, info.formula_moiety());
    set_if_not_empty(block, systematic_name, kesh_to_cif_name(info.systematic_name()));
    set_if_not_empty(block, biological_name, info.biological_properties());
}
