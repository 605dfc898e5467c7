// CrystalInfo: the crystal a structure was measured on: its look, melting point, formula
// units per cell and how it was grown.
#pragma once

#include <string>

#include "host/HostApi.h"

class HOST_API CrystalInfo {
  public:
    CrystalInfo(std::string colour, std::string description, std::string melting_point,
                double formula_units_z, double formula_units_z_prime,
                std::string physical_properties, std::string recrystallization_method,
                std::string preparation, std::string polymorph)
        : colour_(std::move(colour)),
          description_(std::move(description)),
          melting_point_(std::move(melting_point)),
          z_(formula_units_z),
          z_prime_(formula_units_z_prime),
          physical_properties_(std::move(physical_properties)),
          recrystallization_method_(std::move(recrystallization_method)),
          preparation_(std::move(preparation)),
          polymorph_(std::move(polymorph)) {}

    const std::string& colour() const { return colour_; }
    /// The crystal's habit ("block", "needle").
    const std::string& description() const { return description_; }
    const std::string& melting_point() const { return melting_point_; }
    /// Formula units in the cell, and in the asymmetric unit (0 when not known).
    double formula_units_z() const { return z_; }
    double formula_units_z_prime() const { return z_prime_; }
    const std::string& physical_properties() const { return physical_properties_; }
    const std::string& recrystallization_method() const { return recrystallization_method_; }
    const std::string& preparation() const { return preparation_; }
    const std::string& polymorph() const { return polymorph_; }

  private:
    std::string colour_;
    std::string description_;
    std::string melting_point_;
    double z_;
    double z_prime_;
    std::string physical_properties_;
    std::string recrystallization_method_;
    std::string preparation_;
    std::string polymorph_;
};
