// Spacegroup: a crystal's space group, from its symmetry operators or from its name, with
// the Hermann-Mauguin name, International Tables number and crystal system of the
// International Tables (every setting they list: origin choices, hexagonal and rhombohedral
// axes, cell choices and axis permutations).
#pragma once

#include <string>
#include <vector>

#include "host/CrystalSymmetryOperator.h"
#include "host/HostApi.h"

class HOST_API Spacegroup {
  public:
    enum System { Triclinic = 0, Monoclinic, Orthorhombic, Tetragonal, Trigonal, Hexagonal, Cubic };

    /// P 1.
    Spacegroup();
    /// The group the operators generate, looked up among the tabulated settings; the number
    /// and name given with them play no part. Operators that match no tabulated setting (a
    /// list that is not a group, a setting the tables do not have) keep the group as listed,
    /// with number 0 and the name given.
    Spacegroup(const std::vector<CrystalSymmetryOperator>& operators, int number,
               const std::string& name);
    /// The group of that name (any spelling of real files: "P 21/c", "P2(1)/c", "P 1 21/c 1",
    /// "P 6_3 m c", "P-421M", the old cubic "F d 3 m"; "H" for hexagonal axes), with its
    /// operators. A name without an origin suffix takes origin choice 2 where there are two,
    /// and a rhombohedral group its hexagonal axes (see with_cell_angles). A name that is no
    /// group gives P 1 with that name and the number given.
    Spacegroup(const std::string& name, int number, System system);

    /// The compact Hermann-Mauguin symbol of the group's setting without origin or axes
    /// suffix ("P21/c", "Fm-3m", "R-3c").
    const std::string& name() const { return name_; }
    int number() const { return number_; }
    const std::vector<CrystalSymmetryOperator>& operators() const { return operators_; }
    System crystal_system() const { return system_; }
    /// The full symbol with blanks between its parts and any suffix ("P 1 21/c 1",
    /// "F d -3 m :2", "R -3 c :H").
    const std::string& name_space_separated() const { return spaced_name_; }

    /// For a group found by name on rhombohedral lattice: the setting whose axes the cell
    /// angles fit (equal angles: rhombohedral; gamma 120: hexagonal). Others are unchanged.
    Spacegroup with_cell_angles(double alpha_degrees, double gamma_degrees) const;

    /// "triclinic", "monoclinic", ... "cubic".
    static std::string crystal_system_text(System system);
    /// The compact symbol of the group a name denotes, as name() gives it; the name itself
    /// when it denotes none.
    static std::string derive_vexor_symbol(const std::string& name);
    /// The group a Hall symbol generates ("-P 2ybc"); throws std::invalid_argument when the
    /// text is no Hall symbol.
    static Spacegroup from_hall(const std::string& symbol);
    /// Whether the two have the same operators, in any order.
    bool same_operators(const Spacegroup& other) const;

  private:
    void take_tabulated(const void* group);

    std::string name_;
    std::string spaced_name_;
    int number_ = 1;
    System system_ = Triclinic;
    bool from_name_ = false;
    std::vector<CrystalSymmetryOperator> operators_;
};
