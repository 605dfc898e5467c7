#include "cif/CifExperimentalInfo.h"

#include <algorithm>

#include "cif/CifUtilities.h"
#include "host/TextUtilities.h"

namespace {

const std::string absolute_configuration_name = "_chemical_absolute_configuration";
const std::string diffraction_details_name = "_diffrn_special_details";
const std::string temperature_name = "_diffrn_ambient_temperature";
const std::string pressure_name = "_diffrn_ambient_pressure";
const std::string measured_density_name = "_exptl_crystal_density_meas";
const std::string calculated_density_name = "_exptl_crystal_density_diffrn";
const std::string probe_name = "_diffrn_radiation_probe";
const std::string source_name = "_diffrn_source";
const std::string refinement_details_name = "_refine_special_details";

// The R factor's names, in the order they are searched: the current one and the older one.
// wR is another figure, neither read nor written as R.
const std::vector<std::string> r_factor_names = {"_refine_ls_R_factor_gt",
                                                 "_refine_ls_R_factor_obs"};

const std::pair<ExperimentalInfo::RadiationProbe, const char*> probes[] = {
    {ExperimentalInfo::NoProbe, ""},
    {ExperimentalInfo::XRay, "x-ray"},
    {ExperimentalInfo::Neutron, "neutron"},
    {ExperimentalInfo::Electron, "electron"},
    {ExperimentalInfo::Gamma, "gamma"}};

const char* const determined_configurations[] = {"rm", "ad", "rmad", "syn"};

ExperimentalInfo::RadiationProbe read_probe(const CifDataBlock& block) {
    const std::string text = strip(block.value(probe_name), " \t");
    for (const auto& [probe, name] : probes) {
        if (CaseInsensitiveStringEquality()(text, name)) return probe;
    }
    return ExperimentalInfo::NoProbe;
}

bool configuration_determined(const CifDataBlock& block) {
    const std::string code = strip(block.value(absolute_configuration_name), " \t");
    return std::any_of(
        std::begin(determined_configurations), std::end(determined_configurations),
        [&code](const char* known) { return CaseInsensitiveStringEquality()(code, known); });
}

double r_factor_of(THandle<CifDataBlock> block) {
    THandle<CifDataItem> item = find_from_alternatives(block, r_factor_names);
    return item ? string_to_double(item->value()) : 0.0;
}

}  // namespace

THandle<ExperimentalInfo> CifExperimentalInfo::read(THandle<CifDataBlock> block) {
    const bool determined = configuration_determined(*block);
    const std::string details = block->value(diffraction_details_name);
    const std::string temperature = block->value(temperature_name);
    const std::string pressure = block->value(pressure_name);
    const double measured = string_to_double(block->value(measured_density_name));
    const double calculated = string_to_double(block->value(calculated_density_name));
    const double r_factor_percent = r_factor_of(block) * 100.0;
    return make_handle<ExperimentalInfo>(
        string_to_double(temperature), temperature, pressure, measured, calculated,
        r_factor_percent, Range<double, DoubleComparator>(DoubleComparator{1e-7, &less_than}),
        read_probe(*block), block->value(source_name), determined, details,
        ExperimentalInfo::PowderStudy(0), block->value(refinement_details_name),
        ExperimentalInfo::IntensityMethod(0));
}

// An undetermined configuration is one the file may not have stated: nothing is written for
// it. The temperature is written as stated, with its s.u.
void CifExperimentalInfo::write(THandle<CifDataBlock> block, const ExperimentalInfo& info) {
    set_if_not_empty(block, diffraction_details_name, info.diffraction_details());
    if (!info.temperature_text().empty()) {
        block->set_value(temperature_name, info.temperature_text());
    } else if (info.temperature() != 0.0) {
        block->set_value(temperature_name, to_string(info.temperature()));
    }
    set_if_not_empty(block, pressure_name, info.pressure_text());
    if (info.measured_density() != 0.0) {
        block->set_value(measured_density_name, to_string(info.measured_density()));
    }
    if (info.calculated_density() != 0.0) {
        block->set_value(calculated_density_name, to_string(info.calculated_density()));
    }
    if (info.r_factor_percent() != 0.0) {
        block->set_value(r_factor_names[0], to_string(info.r_factor_percent() / 100.0));
    }
    for (const auto& [probe, name] : probes) {
        if (probe == info.radiation_probe()) set_if_not_empty(block, probe_name, name);
    }
    set_if_not_empty(block, source_name, info.radiation_source());
    set_if_not_empty(block, refinement_details_name, info.refinement_details());
}
