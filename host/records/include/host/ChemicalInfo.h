// ChemicalInfo: the chemistry of a structure's compound: its names, formula moiety, source
// and properties, and the classes it belongs to.
#pragma once

#include <string>
#include <vector>

#include "host/HostApi.h"

/// A class a compound belongs to, in some classification scheme.
struct HOST_API ChemicalClassification {
    std::string scheme;
    std::string name;
    bool operator==(const ChemicalClassification& other) const {
        return scheme == other.scheme && name == other.name;
    }
};

class HOST_API ChemicalInfo {
  public:
    /// The systematic name is in the in-house mark-up of chemical names (see
    /// KeshRichTextGenerator).
    ChemicalInfo(std::string systematic_name, std::string compound_source,
                 std::string formula_moiety, std::string biological_properties,
                 std::string stereochemistry, std::string trade_name, std::string remarks,
                 std::vector<ChemicalClassification> classifications,
                 std::vector<std::string> synonyms)
        : systematic_name_(std::move(systematic_name)),
          compound_source_(std::move(compound_source)),
          formula_moiety_(std::move(formula_moiety)),
          biological_properties_(std::move(biological_properties)),
          stereochemistry_(std::move(stereochemistry)),
          trade_name_(std::move(trade_name)),
          remarks_(std::move(remarks)),
          classifications_(std::move(classifications)),
          synonyms_(std::move(synonyms)) {}

    const std::string& systematic_name() const { return systematic_name_; }
    const std::string& compound_source() const { return compound_source_; }
    const std::string& formula_moiety() const { return formula_moiety_; }
    const std::string& biological_properties() const { return biological_properties_; }
    const std::string& stereochemistry() const { return stereochemistry_; }
    const std::string& trade_name() const { return trade_name_; }
    const std::string& remarks() const { return remarks_; }
    const std::vector<ChemicalClassification>& classifications() const { return classifications_; }
    /// Common names; the first is the one CIF keeps.
    const std::vector<std::string>& synonyms() const { return synonyms_; }

  private:
    std::string systematic_name_;
    std::string compound_source_;
    std::string formula_moiety_;
    std::string biological_properties_;
    std::string stereochemistry_;
    std::string trade_name_;
    std::string remarks_;
    std::vector<ChemicalClassification> classifications_;
    std::vector<std::string> synonyms_;
};
