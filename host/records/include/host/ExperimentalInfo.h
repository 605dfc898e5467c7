// ExperimentalInfo: the conditions and outcome of a structure determination.
#pragma once

#include <string>

#include "host/HostApi.h"
#include "host/Range.h"

class HOST_API ExperimentalInfo {
  public:
    enum RadiationProbe { NoProbe = 0, XRay = 1, Neutron = 2, Electron = 3, Gamma = 4 };
    enum PowderStudy { NotPowder = 0, Powder = 1 };
    enum IntensityMethod { UnknownMethod = 0, Diffractometer = 1, Film = 2 };

    ExperimentalInfo(double temperature, std::string temperature_text, std::string pressure_text,
                     double measured_density, double calculated_density, double r_factor_percent,
                     Range<double, DoubleComparator> range, RadiationProbe probe,
                     std::string radiation_source, bool absolute_configuration_determined,
                     std::string diffraction_details, PowderStudy powder_study,
                     std::string refinement_details, IntensityMethod intensity_method)
        : temperature_(temperature),
          temperature_text_(std::move(temperature_text)),
          pressure_text_(std::move(pressure_text)),
          measured_density_(measured_density),
          calculated_density_(calculated_density),
          r_factor_percent_(r_factor_percent),
          range_(range),
          probe_(probe),
          radiation_source_(std::move(radiation_source)),
          absolute_configuration_determined_(absolute_configuration_determined),
          diffraction_details_(std::move(diffraction_details)),
          powder_study_(powder_study),
          refinement_details_(std::move(refinement_details)),
          intensity_method_(intensity_method) {}

    /// In kelvin, and as the file stated it.
    double temperature() const { return temperature_; }
    const std::string& temperature_text() const { return temperature_text_; }
    const std::string& pressure_text() const { return pressure_text_; }
    /// In g/cm3; 0 when not given.
    double measured_density() const { return measured_density_; }
    double calculated_density() const { return calculated_density_; }
    /// The conventional R factor in percent; 0 when not given.
    double r_factor_percent() const { return r_factor_percent_; }
    /// A range of values the host attaches to the record (of the temperature, say).
    const Range<double, DoubleComparator>& range() const { return range_; }
    RadiationProbe radiation_probe() const { return probe_; }
    const std::string& radiation_source() const { return radiation_source_; }
    bool absolute_configuration_determined() const { return absolute_configuration_determined_; }
    const std::string& diffraction_details() const { return diffraction_details_; }
    PowderStudy powder_study() const { return powder_study_; }
    const std::string& refinement_details() const { return refinement_details_; }
    IntensityMethod intensity_method() const { return intensity_method_; }

  private:
    double temperature_;
    std::string temperature_text_;
    std::string pressure_text_;
    double measured_density_;
    double calculated_density_;
    double r_factor_percent_;
    Range<double, DoubleComparator> range_;
    RadiationProbe probe_;
    std::string radiation_source_;
    bool absolute_configuration_determined_;
    std::string diffraction_details_;
    PowderStudy powder_study_;
    std::string refinement_details_;
    IntensityMethod intensity_method_;
};
