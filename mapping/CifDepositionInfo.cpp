#include "cif/CifDepositionInfo.h"

#include <utility>

namespace {

const std::pair<DepositionInfo::DepositionType, const char*> deposition_names[] = {
    {DepositionInfo::ArchiveNumber, "_database_code_depnum_vexor_archive"},
    {DepositionInfo::FizNumber, "_database_code_depnum_vexor_fiz"},
    {DepositionInfo::CcdcNumber, "_database_code_depnum_ccdc_archive"},
    {DepositionInfo::CodNumber, "_cod_database_code"},
    {DepositionInfo::ValidationNumber, "_journal_data_validation_number"},
    {DepositionInfo::CoeditorCode, "_journal_coeditor_code"},
    {DepositionInfo::JournalNumber, "_database_code_depnum_vexor_journal"},
    {DepositionInfo::NbsCode, "_database_code_NBS"},
    {DepositionInfo::OrbCode, "_database_code_ORB"}};

}  // namespace

THandle<DepositionInfo> CifDepositionInfo::read(THandle<CifDataBlock> block) {
    THandle<DepositionInfo> info = make_handle<DepositionInfo>();
    for (const auto& [type, name] : deposition_names) {
        const std::string text = block->value(name);
        if (!text.empty()) info->set_text(type, text);
    }
    return info;
}

void CifDepositionInfo::write(THandle<CifDataBlock> block, const DepositionInfo& info) {
    for (const auto& [type, text] : info.entries()) {
        for (const auto& [known, name] : deposition_names) {
            if (known == type) block->set_value(name, text);
        }
    }
}
