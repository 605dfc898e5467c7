// The crystal model: uncertain values, symmetry operators, space groups from operators and
// from names, cells and formulae.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "host/BondDetector.h"
#include "host/Cell.h"
#include "host/CrystalChemicalFormula.h"
#include "host/CrystalMaker.h"
#include "host/Element.h"
#include "host/FileOrderedAtom3d.h"

namespace {

std::string printed(const UncertainValue& value) {
    std::ostringstream out;
    value.print(out);
    return out.str();
}

TEST(UncertainValue, ReadAndWrittenAsStated) {
    // text, value, uncertainty, printed
    const std::vector<std::tuple<std::string, double, double, std::string>> cases = {
        {"12.345(6)", 12.345, 0.006, "12.345(6)"},
        {"1.2e3(4)", 1200, 400, "1200(400)"},
        {"-0.5", -0.5, 0, "-0.5"},
        {"90", 90, 0, "90"},
        {".5(1)", 0.5, 0.1, "0.5(1)"},
        {"1.2E-3(12)", 0.0012, 0.0012, "0.0012(12)"},
        {"90.(0)", 90, 0, "90(0)"},
        {"5.0210(0)", 5.021, 0, "5.0210(0)"},
        {"+7.25", 7.25, 0, "7.25"}};
    for (const auto& [text, value, uncertainty, written] : cases) {
        std::istringstream in(text);
        UncertainValue read;
        read.parse(in);
        EXPECT_FALSE(in.fail()) << text;
        EXPECT_DOUBLE_EQ(read.value(), value) << text;
        EXPECT_NEAR(read.uncertainty().value(), uncertainty, 1e-12) << text;
        EXPECT_EQ(printed(read), written);
        const std::optional<UncertainValue> from_text = UncertainValue::from_text(text);
        ASSERT_TRUE(from_text) << text;
        EXPECT_EQ(from_text->value(), read.value()) << text;
        EXPECT_EQ(from_text->uncertainty().value(), read.uncertainty().value()) << text;
        EXPECT_EQ(from_text->uncertainty().decimals(), read.uncertainty().decimals()) << text;
    }
    // The whole text must be the number.
    for (const char* more : {"1.5 ", "1.5(2)x", " 1.5", "1.5(2) (3)"})
        EXPECT_FALSE(UncertainValue::from_text(more)) << more;
    // Numbers no double holds are bad values, not exceptions.
    const std::string digits(400, '9');
    for (const std::string& bad :
         {std::string(), std::string("?"), std::string("abc"), std::string("."),
          std::string("1.5("), std::string("1.5(x)"), std::string("-"),
          std::string("1e99999999999"), std::string("1e400"), digits, "1.5(" + digits + ")",
          "1e-300(" + digits + ")", std::string("1e-99999")}) {
        std::istringstream in(bad);
        UncertainValue().parse(in);
        EXPECT_TRUE(in.fail()) << bad;
        EXPECT_FALSE(UncertainValue::from_text(bad)) << bad;
    }
    EXPECT_EQ(printed(UncertainValue(10.5, Uncertainty(0.0123))), "10.500(12)");
    EXPECT_EQ(printed(UncertainValue(1.0 / 3.0)), "0.333333");
    const Range<double, DoubleComparator> range = UncertainValue(1.0, Uncertainty(0.1)).range(3.0);
    EXPECT_TRUE(range.contains(1.3) && !range.contains(1.31));
    EXPECT_TRUE(range.overlaps(Range<double, DoubleComparator>::inclusive(0.0, 0.7, {1e-7})));
    EXPECT_FALSE(range.overlaps(Range<double, DoubleComparator>::inclusive(1.4, 0.0 + 2, {})));
}

TEST(SymmetryOperators, EveryFormOfRealFilesAndOneCanonicalText) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"x,y,z", "x,y,z"},
        {"-x+1/2,y+1/2,-z", "-x+1/2,y+1/2,-z"},
        {"X-Y,X,Z+1/6", "x-y,x,z+1/6"},
        {"1/2+x,1/2-y,1/2+z", "x+1/2,-y+1/2,z+1/2"},
        {"x+0.5,-Y+.5,z+0.50000", "x+1/2,-y+1/2,z+1/2"},
        {"+x, y ,  z", "x,y,z"},
        {"x,y,z+10/20", "x,y,z+1/2"},
        {".5+Y,1.25000-y,-z", "y+1/2,-y+1/4,-z"},
        {"x+1,y-1,z+2/3", "x,y,z+2/3"},
        {"0.3333+x,0.6667+y,z", "x+1/3,y+2/3,z"},
        {"x-1/4,-y-1/3,z", "x+3/4,-y+2/3,z"},
        {"x+0.99999,y,z", "x,y,z"}};
    for (const auto& [text, canonical] : cases)
        EXPECT_EQ(CrystalSymmetryTransformation(text).to_string(), canonical) << text;
    for (const char* bad :
         {"x,y", "x,y,z,t", "a,b,c", "x,y,z+", "xy,y,z", "x+2*3,y,z", "x 1/2,y,z"})
        EXPECT_ANY_THROW(CrystalSymmetryTransformation{bad}) << bad;
    EXPECT_THROW(CrystalSymmetryTransformation("x,y,1/0"), std::runtime_error);
}

std::vector<CrystalSymmetryOperator> operators(const std::string& list) {
    std::vector<CrystalSymmetryOperator> ops;
    std::istringstream in(list);
    for (std::string text; std::getline(in, text, ';');)
        ops.push_back(CrystalSymmetryTransformation(text));
    return ops;
}

// Operator lists of the International Tables, in settings of every crystal system.
TEST(Spacegroups, IdentifiedFromTheirOperators) {
    const std::vector<std::tuple<const char*, int, const char*>> groups = {
        {"x,y,z", 1, "P 1"},
        {"x,y,z;-x,-y,-z", 2, "P -1"},
        {"x,y,z;-x,y+1/2,-z", 4, "P 1 21 1"},
        {"x,y,z;-x,y+1/2,-z+1/2;-x,-y,-z;x,-y+1/2,z+1/2", 14, "P 1 21/c 1"},
        {"x,y,z;-x+1/2,y+1/2,-z+1/2;-x,-y,-z;x+1/2,-y+1/2,z+1/2", 14, "P 1 21/n 1"},
        {"x,y,z;-x,y,-z+1/2;-x,-y,-z;x,-y,z+1/2;x+1/2,y+1/2,z;-x+1/2,y+1/2,-z+1/2;"
         "-x+1/2,-y+1/2,-z;x+1/2,-y+1/2,z+1/2",
         15, "C 1 2/c 1"},
        {"x,y,z;-x+1/2,-y,z+1/2;-x,y+1/2,-z+1/2;x+1/2,-y+1/2,-z", 19, "P 21 21 21"},
        {"x,y,z;-x+1/2,-y,z+1/2;x+1/2,-y+1/2,-z;-x,y+1/2,-z+1/2;-x,-y,-z;x+1/2,y,-z+1/2;"
         "-x+1/2,y+1/2,z;x,-y+1/2,z+1/2",
         61, "P b c a"},
        {"x,y,z;-y,x,z+1/4;-x,-y,z+1/2;y,-x,z+3/4", 76, "P 41"},
        {"x,y,z;-x+1/2,-y+1/2,z;-y+1/2,x,z;y,-x+1/2,z;-x,-y,-z;x+1/2,y+1/2,-z;y+1/2,-x,-z;"
         "-y,x+1/2,-z",
         85, "P 4/n :2"},
        {"x,y,z;-x,-y,z;-y+1/2,x+1/2,z;y+1/2,-x+1/2,z;-x+1/2,-y+1/2,-z;x+1/2,y+1/2,-z;y,-x,-z;"
         "-y,x,-z",
         85, "P 4/n :1"},
        {"x,y,z;-y,x-y,z+1/3;-x+y,-x,z+2/3", 144, "P 31"},
        {"x,y,z;-y,x-y,z;-x+y,-x,z;-x,-y,-z;y,-x+y,-z;x-y,x,-z;x+2/3,y+1/3,z+1/3;"
         "-y+2/3,x-y+1/3,z+1/3;-x+y+2/3,-x+1/3,z+1/3;-x+2/3,-y+1/3,-z+1/3;"
         "y+2/3,-x+y+1/3,-z+1/3;x-y+2/3,x+1/3,-z+1/3;x+1/3,y+2/3,z+2/3;"
         "-y+1/3,x-y+2/3,z+2/3;-x+y+1/3,-x+2/3,z+2/3;-x+1/3,-y+2/3,-z+2/3;"
         "y+1/3,-x+y+2/3,-z+2/3;x-y+1/3,x+2/3,-z+2/3",
         148, "R -3 :H"},
        {"x,y,z;z,x,y;y,z,x;-x,-y,-z;-z,-x,-y;-y,-z,-x", 148, "R -3 :R"},
        {"x,y,z;-y,x-y,z;-x+y,-x,z;-x,-y,z+1/2;y,-x+y,z+1/2;x-y,x,z+1/2", 173, "P 63"},
        {"x,y,z;-x,-y,z;-x,y,-z;x,-y,-z;z,x,y;z,-x,-y;-z,-x,y;-z,x,-y;y,z,x;-y,z,-x;y,-z,-x;"
         "-y,-z,x",
         195, "P 2 3"}};
    for (const auto& [list, number, name] : groups) {
        const Spacegroup group(operators(list), 0, "");
        EXPECT_EQ(group.number(), number) << list;
        EXPECT_EQ(group.name_space_separated(), name) << list;
    }
    // Translations that do not close keep the list as given, with number 0.
    const Spacegroup broken(operators("x,y,z;-x,-y,z+1/3"), 5, "P 2");
    EXPECT_EQ(broken.number(), 0);
    EXPECT_EQ(broken.operators().size(), 2u);
}

TEST(Spacegroups, FoundByNameAsRealFilesSpellIt) {
    const std::vector<std::tuple<const char*, int, const char*, std::size_t>> names = {
        {"p 21/c", 14, "P 1 21/c 1", 4},
        {"P2(1)/c", 14, "P 1 21/c 1", 4},
        {"P 1 21/c 1", 14, "P 1 21/c 1", 4},
        {"P 6_3 m c", 186, "P 63 m c", 12},
        {"P-421M", 113, "P -4 21 m", 8},
        {"F d 3 m", 227, "F d -3 m :2", 192},
        {"C 2/c", 15, "C 1 2/c 1", 8},
        {"P 21/n", 14, "P 1 21/n 1", 4},
        {"R -3 c", 167, "R -3 c :H", 36},
        {"H -3", 148, "R -3 :H", 18},
        {"P 21 /m", 11, "P 1 21/m 1", 4},
        {"P 6~3~/m m c", 194, "P 63/m m c", 24},
        // full symbols
        {"P 21/b 21/c 21/a", 61, "P b c a", 8},
        {"P 2/m 2/m 2/m", 47, "P m m m", 8},
        {"F 4/m -3 2/m", 225, "F m -3 m", 192},
        {"P 42/n 21/c 2/m :2", 138, "P 42/n c m :2", 16}};
    for (const auto& [name, number, spaced, count] : names) {
        const Spacegroup group(name, -1, Spacegroup::Triclinic);
        EXPECT_EQ(group.number(), number) << name;
        EXPECT_EQ(group.name_space_separated(), spaced) << name;
        EXPECT_EQ(group.operators().size(), count) << name;
    }
    const Spacegroup p21n("P 21/n", -1, Spacegroup::Triclinic);
    EXPECT_EQ(p21n.operators()[1].to_string(), "-x+1/2,y+1/2,-z+1/2");
    const Spacegroup rhombohedral =
        Spacegroup("R -3 c", -1, Spacegroup::Triclinic).with_cell_angles(80.0, 80.0);
    EXPECT_EQ(rhombohedral.name_space_separated(), "R -3 c :R");
    EXPECT_EQ(rhombohedral.operators().size(), 12u);
    EXPECT_EQ(Spacegroup::derive_vexor_symbol("P 1 21/c 1"), "P21/c");
    EXPECT_EQ(Spacegroup::derive_vexor_symbol("Q 9"), "Q 9");
    EXPECT_EQ(Spacegroup::crystal_system_text(Spacegroup("F m -3 m", 0, {}).crystal_system()),
              "cubic");
}

TEST(Cells, VolumeAndGeometry) {
    const Cell cell(UncertainValue(5.387), UncertainValue(8.575), UncertainValue(5.22),
                    UncertainValue(90), UncertainValue(118.99), UncertainValue(90), Spacegroup());
    EXPECT_NEAR(cell.volume(), 210.9, 0.05);
    EXPECT_NEAR(cell.beta().value(), 118.99 * 3.14159265358979 / 180, 1e-9);
    EXPECT_NEAR(cell.orthogonalisation()[0][2], 5.22 * std::cos(cell.beta().value()), 1e-9);
    const Cell cubic(UncertainValue(10, Uncertainty(0.01)), UncertainValue(10, Uncertainty(0.01)),
                     UncertainValue(10, Uncertainty(0.01)), UncertainValue(90), UncertainValue(90),
                     UncertainValue(90), Spacegroup());
    // dV/da = bc: three terms of 100 x 0.01.
    EXPECT_NEAR(cubic.volume_with_uncertainty().uncertainty().value(), std::sqrt(3.0), 1e-3);
    // An angle's s.u. counts in radians: abc cos(beta) 0.05 degrees is 0.133, with the
    // lengths' 0.159 in quadrature 0.207.
    const Cell monoclinic(UncertainValue(10, Uncertainty(0.001)),
                          UncertainValue(11, Uncertainty(0.001)),
                          UncertainValue(8, Uncertainty(0.001)), UncertainValue(90),
                          UncertainValue(100, Uncertainty(0.05)), UncertainValue(90), Spacegroup());
    EXPECT_NEAR(monoclinic.volume_with_uncertainty().uncertainty().value(), 0.2075, 0.002);
    for (double angle : {0.0, 200.0}) {
        EXPECT_THROW(
            Cell(UncertainValue(5), UncertainValue(5), UncertainValue(5), UncertainValue(angle),
                 UncertainValue(90), UncertainValue(90), Spacegroup()),
            std::invalid_argument);
    }
}

TEST(Formulae, WeightsFromRealFormulae) {
    const std::vector<std::pair<std::string, double>> formulae = {
        {"C12 H22 O11", 342.297},
        {"C6 H5 N O2", 123.109},
        {"(C6 H5)2", 154.207},
        {"C12 H10", 154.207},
        {"c6 h5 n o2", 123.109},
        {"C H4 N2 O", 60.055},
        {"C10 H14 O2, 0.06(C H2 Cl2)", 171.32},
        {"Na+ Cl-", 58.443},
        {"H2.5 Cl0.5", 20.247}};
    for (const auto& [text, weight] : formulae)
        EXPECT_NEAR(CrystalChemicalFormula(text, false).molecular_weight_sum(), weight, 0.01)
            << text;
    const CrystalChemicalFormula unknown("C6 Qq2", true);
    EXPECT_EQ(unknown.unknown_symbols(), std::vector<std::string>{"Qq"});
    EXPECT_NEAR(unknown.molecular_weight_sum(), 72.064, 0.01);
    EXPECT_EQ(Element("CL").symbol(), "Cl");
    EXPECT_NEAR(Element("C").covalent_radius(), 0.75, 0.03);
    EXPECT_FALSE(Element("Xx").is_known());
}

Cell cell_of(double a, double b, double c, double beta, double gamma,
             const Spacegroup& group = Spacegroup()) {
    return Cell(UncertainValue(a), UncertainValue(b), UncertainValue(c), UncertainValue(90),
                UncertainValue(beta), UncertainValue(gamma), group);
}

TEST(DisplacementParameters, TensorsInTheCellAxes) {
    const Cell monoclinic = cell_of(10, 12, 8, 110, 90);
    const AtomicDisplacementParameters sphere(UncertainValue(0.03, Uncertainty(0.002)),
                                              AtomicDisplacementParameters::Isotropic, monoclinic);
    EXPECT_NEAR(sphere.u_equivalent(monoclinic), 0.03, 1e-12);
    EXPECT_NEAR(sphere.u(0, 0), 0.03, 1e-12);
    EXPECT_NEAR(sphere.u(0, 2), 0.03 * std::cos(70 * M_PI / 180), 1e-12);  // cos(beta*)
    EXPECT_NEAR(sphere.u_uncertainty(1, 1), 0.002, 1e-12);
    EXPECT_NEAR(sphere.u(0, 1), 0.0, 1e-12);
    const Array<UncertainValue, 6> u = {UncertainValue(0.02),  UncertainValue(0.03),
                                        UncertainValue(0.04),  UncertainValue(0.005),
                                        UncertainValue(0.004), UncertainValue(-0.003)};
    const AtomicDisplacementParameters ellipsoid(u, AtomicDisplacementParameters::Anisotropic);
    // The two-fold axis along b turns U12 and U23 round and keeps Ueq.
    const AtomicDisplacementParameters turned =
        ellipsoid.rotated({{{-1, 0, 0}, {0, 1, 0}, {0, 0, -1}}}, monoclinic);
    EXPECT_NEAR(turned.u(0, 1), -0.005, 1e-12);
    EXPECT_NEAR(turned.u(0, 2), 0.004, 1e-12);
    EXPECT_NEAR(turned.u(1, 2), 0.003, 1e-12);
    EXPECT_NEAR(turned.u_equivalent(monoclinic), ellipsoid.u_equivalent(monoclinic), 1e-12);
    EXPECT_THROW(AtomicDisplacementParameters(u, AtomicDisplacementParameters::Isotropic),
                 std::invalid_argument);
    // no real ellipsoid: each fails a different leading minor
    for (const Array<double, 6>& bad : {Array<double, 6>{-0.01, 0.02, 0.02, 0, 0, 0},
                                        Array<double, 6>{0.02, 0.02, -0.02, 0.03, 0, 0},
                                        Array<double, 6>{0.02, 0.02, 0.02, 0.03, 0, 0},
                                        Array<double, 6>{0.02, 0.02, 0.0, 0, 0, 0}}) {
        Array<UncertainValue, 6> values;
        for (int k = 0; k < 6; ++k)
            values[k] = UncertainValue(bad[k]);
        EXPECT_THROW(
            AtomicDisplacementParameters(values, AtomicDisplacementParameters::Anisotropic),
            std::invalid_argument);
    }
}

THandle<Atom> atom_at(int index, const std::string& symbol, const Site::Point& x, int group = 0) {
    auto site =
        make_handle<Site>(x, Site::Point{}, UncertainValue(1.0), THandle<Array<Uncertainty, 3>>(),
                          THandle<AtomicDisplacementParameters>());
    THandle<Atom> atom = make_handle<FileOrderedAtom3d>(index, Element(symbol), symbol, site);
    atom->set_disorder_group(group);
    return atom;
}

std::vector<int> molecule_sizes(const BondDetector& detector,
                                const std::vector<THandle<Atom>>& atoms, const Cell& cell) {
    std::vector<int> sizes;
    const THandle<BondDetector::MoleculeList> molecules = detector.molecules(atoms, cell);
    for (const THandle<Molecule>& molecule : *molecules)
        sizes.push_back(molecule->natoms());
    return sizes;
}

TEST(BondDetector, DisorderAndSpecialPositions) {
    const Cell cubic = cell_of(10, 10, 10, 90, 90);
    const BondDistanceLimit limit(0.55, false);
    // 1.0 angstrom apart, groups 1 and 2: alternatives, unless only distances count
    const std::vector<THandle<Atom>> alternatives = {atom_at(0, "C", {0.1, 0.1, 0.1}, 1),
                                                     atom_at(1, "C", {0.2, 0.1, 0.1}, 2)};
    EXPECT_EQ(
        molecule_sizes(BondDetector(BondDetector::AsListed, BondDetector::DisorderAware, limit),
                       alternatives, cubic),
        std::vector<int>({1, 1}));
    EXPECT_EQ(
        molecule_sizes(BondDetector(BondDetector::AsListed, BondDetector::DistancesOnly, limit),
                       alternatives, cubic),
        std::vector<int>({2}));
    EXPECT_THROW(BondDetector(BondDetector::DetectionMode(3), BondDetector::DistancesOnly, limit),
                 std::invalid_argument);
    // Mo rounded off the special position 2c of P 63/m m c: two in the cell, not six or 24
    const Cell hexagonal =
        cell_of(3.16, 3.16, 12.29, 90, 120, Spacegroup("P 63/m m c", 194, Spacegroup::Hexagonal));
    const BondDetector complete(BondDetector::CompleteMolecules, BondDetector::DisorderAware,
                                limit);
    const CrystalMaker maker(
        hexagonal, complete.molecules({atom_at(0, "Mo", {0.3333, 0.6667, 0.25})}, hexagonal), {},
        {});
    EXPECT_EQ(maker.create_crystal()->molecules()->size(), 2u);
}

TEST(Molecule, FormulaInHillOrder) {
    Molecule water, ethyl_bromide;
    for (const char* symbol : {"O", "H", "Cu", "H"})
        water.add_atom(atom_at(0, symbol, {0, 0, 0}));
    for (const char* symbol : {"Br", "C", "H", "C", "H", "H", "H", "H", "Q"})
        ethyl_bromide.add_atom(atom_at(0, symbol, {0, 0, 0}));
    EXPECT_EQ(water.formula(), "Cu H2 O");
    EXPECT_EQ(ethyl_bromide.formula(), "C2 H5 Br");
}

}  // namespace
