// MMPX's rules for one source pixel E, written once for every width of lanes: plain C++ runs
// them on one pixel (a mask is a bool), the vector routines on 4 or 8 pixels at once (a mask
// is a lane of all ones). The rules run in the paper's order; a later rule that holds
// overrides what an earlier one chose.
//
// Ops provides the types Key (what compares equal: the colour without the fourth byte),
// Pixel (what is copied), Luma and Mask, and Eq, Less (of lumas), And, Or, AndNot (a and not
// b), Not and Select (mask ? a : b).
#pragma once

#if defined(__GNUC__)
#define LMP_MMPX_INLINE inline __attribute__((always_inline))
#else
#define LMP_MMPX_INLINE inline
#endif

// The neighbourhood, named as in the paper:
//
//              up3
//       aboveL  P  aboveR
//   upL2   A    B    C   upR2
// left3 Q  D    E    F   R  right3
//   downL2 G    H    I   downR2
//       belowL  S  belowR
//              down3
//
// Keys of all, the pixels and lumas of the five that an output can take.
template <typename Ops> struct MmpxNeighbours {
    using Key = typename Ops::Key;
    Key a, b, c, d, e, f, g, h, i, p, q, r, s;
    Key left3, right3, up3, down3;
    Key upLeft2, upRight2, downLeft2, downRight2;
    Key aboveLeft, aboveRight, belowLeft, belowRight;
    typename Ops::Pixel pb, pd, pe, pf, ph;
    typename Ops::Luma lb, ld, le, lf, lh;
};

// The 2x2 outputs: J top left, K top right, L bottom left, M bottom right.
template <typename Ops> struct MmpxBlock { typename Ops::Pixel j, k, l, m; };

namespace mmpx_rules {

template <typename Ops, typename Key> LMP_MMPX_INLINE auto All3(Key x, Key a, Key b, Key c) {
    return Ops::And(Ops::And(Ops::Eq(x, a), Ops::Eq(x, b)), Ops::Eq(x, c));
}
template <typename Ops, typename Key> LMP_MMPX_INLINE auto All4(Key x, Key a, Key b, Key c, Key d) {
    return Ops::And(All3<Ops>(x, a, b, c), Ops::Eq(x, d));
}
template <typename Ops, typename Key> LMP_MMPX_INLINE auto Any3(Key x, Key a, Key b, Key c) {
    return Ops::Or(Ops::Or(Ops::Eq(x, a), Ops::Eq(x, b)), Ops::Eq(x, c));
}
// x equals none of a, b, c, d.
template <typename Ops, typename Key>
LMP_MMPX_INLINE auto None4(Key x, Key a, Key b, Key c, Key d) {
    return Ops::Not(Ops::Or(Any3<Ops>(x, a, b, c), Ops::Eq(x, d)));
}

// A 1:1 slope through the corner between E's edge neighbours x and y: the corner's output
// takes x's colour where x and y are one colour, the other two edge neighbours o1, o2 are
// not, and E is not the brighter pixel of a single-pixel feature. corner is the pixel
// diagonal to E beside x and y, others the other two diagonal ones, far1 and far2 the pixels
// two steps from E behind x and y.
template <typename Ops>
LMP_MMPX_INLINE auto Slope11(const MmpxNeighbours<Ops>& n, typename Ops::Key x,
                             typename Ops::Luma lx, typename Ops::Key y, typename Ops::Key o1,
                             typename Ops::Key o2, typename Ops::Key corner,
                             typename Ops::Key other1, typename Ops::Key other2,
                             typename Ops::Key far1, typename Ops::Key far2) {
    const auto line = Ops::AndNot(Ops::AndNot(Ops::Eq(x, y), Ops::Eq(x, o1)), Ops::Eq(x, o2));
    const auto notDarker = Ops::Or(Ops::Not(Ops::Less(n.le, lx)), Ops::Eq(n.e, corner));
    const auto onDiagonal = Any3<Ops>(n.e, corner, other1, other2);
    const auto notAPoint = Ops::Or(
        Ops::Less(n.le, lx),
        Ops::Not(Ops::And(Ops::Eq(corner, x), Ops::And(Ops::Eq(n.e, far1), Ops::Eq(n.e, far2)))));
    return Ops::And(Ops::And(line, notDarker), Ops::And(onDiagonal, notAPoint));
}

// A line of x's colour crossing beside E: E differs from x, is one colour with the corners
// on x's side (c1, c2) and the pixels opposite (o1, o2), x is one colour with the two
// pixels across (p1, p2), and the line does not go on past x (far).
template <typename Ops, typename Key>
LMP_MMPX_INLINE auto Crossing(const MmpxNeighbours<Ops>& n, Key x, Key c1, Key c2, Key o1, Key o2,
                              Key p1, Key p2, Key far) {
    const auto eSide = All4<Ops>(n.e, c1, c2, o1, o2);
    const auto xSide = Ops::AndNot(Ops::And(Ops::Eq(x, p1), Ops::Eq(x, p2)), Ops::Eq(x, far));
    return Ops::AndNot(Ops::And(eSide, xSide), Ops::Eq(n.e, x));
}

// A darker x at the tip of E's colour: E is one colour with the row of three opposite x
// and the pixel beyond it, and with none of the four pixels around x.
template <typename Ops, typename Key>
LMP_MMPX_INLINE auto Tip(const MmpxNeighbours<Ops>& n, typename Ops::Luma lx, Key o1, Key o2,
                         Key o3, Key far, Key s1, Key s2, Key s3, Key s4) {
    return Ops::And(Ops::Less(lx, n.le),
                    Ops::And(All4<Ops>(n.e, o1, o2, o3, far), None4<Ops>(n.e, s1, s2, s3, s4)));
}

// A 2:1 slope of x's colour: x is one colour with a, b and c, and with neither d nor e.
template <typename Ops, typename Key>
LMP_MMPX_INLINE auto Slope21(Key x, Key a, Key b, Key c, Key d, Key e) {
    return Ops::AndNot(Ops::AndNot(All3<Ops>(x, a, b, c), Ops::Eq(x, d)), Ops::Eq(x, e));
}

} // namespace mmpx_rules

template <typename Ops> LMP_MMPX_INLINE MmpxBlock<Ops> MmpxRules(const MmpxNeighbours<Ops>& n) {
    using namespace mmpx_rules;
    MmpxBlock<Ops> out{n.pe, n.pe, n.pe, n.pe};

    // 1:1 slopes.
    out.j = Ops::Select(Slope11(n, n.d, n.ld, n.b, n.h, n.f, n.a, n.c, n.g, n.p, n.q), n.pd, out.j);
    out.k = Ops::Select(Slope11(n, n.b, n.lb, n.f, n.d, n.h, n.c, n.a, n.i, n.p, n.r), n.pb, out.k);
    out.l = Ops::Select(Slope11(n, n.h, n.lh, n.d, n.f, n.b, n.g, n.a, n.i, n.s, n.q), n.ph, out.l);
    out.m = Ops::Select(Slope11(n, n.f, n.lf, n.h, n.b, n.d, n.i, n.c, n.g, n.r, n.s), n.pf, out.m);

    // Intersections: lines crossing beside E, then tips of E's colour.
    const auto rightLine = Crossing(n, n.f, n.c, n.i, n.d, n.q, n.b, n.h, n.right3);
    out.k = Ops::Select(rightLine, n.pf, out.k);
    out.m = Ops::Select(rightLine, n.pf, out.m);
    const auto leftLine = Crossing(n, n.d, n.a, n.g, n.f, n.r, n.b, n.h, n.left3);
    out.j = Ops::Select(leftLine, n.pd, out.j);
    out.l = Ops::Select(leftLine, n.pd, out.l);
    const auto lowLine = Crossing(n, n.h, n.g, n.i, n.b, n.p, n.d, n.f, n.down3);
    out.l = Ops::Select(lowLine, n.ph, out.l);
    out.m = Ops::Select(lowLine, n.ph, out.m);
    const auto highLine = Crossing(n, n.b, n.a, n.c, n.h, n.s, n.d, n.f, n.up3);
    out.j = Ops::Select(highLine, n.pb, out.j);
    out.k = Ops::Select(highLine, n.pb, out.k);

    const auto highTip = Tip(n, n.lb, n.g, n.h, n.i, n.s, n.a, n.d, n.c, n.f);
    out.j = Ops::Select(highTip, n.pb, out.j);
    out.k = Ops::Select(highTip, n.pb, out.k);
    const auto lowTip = Tip(n, n.lh, n.a, n.b, n.c, n.p, n.d, n.g, n.i, n.f);
    out.l = Ops::Select(lowTip, n.ph, out.l);
    out.m = Ops::Select(lowTip, n.ph, out.m);
    const auto rightTip = Tip(n, n.lf, n.a, n.d, n.g, n.q, n.b, n.c, n.i, n.h);
    out.k = Ops::Select(rightTip, n.pf, out.k);
    out.m = Ops::Select(rightTip, n.pf, out.m);
    const auto leftTip = Tip(n, n.ld, n.c, n.f, n.i, n.r, n.b, n.a, n.g, n.h);
    out.j = Ops::Select(leftTip, n.pd, out.j);
    out.l = Ops::Select(leftTip, n.pd, out.l);

    // 2:1 slopes: one output of a row or column takes its neighbour's choice.
    const auto hb = Ops::Not(Ops::Eq(n.h, n.b));
    const auto hFree = Ops::AndNot(hb, Any3<Ops>(n.h, n.a, n.e, n.c)); // H != B, A, E, C
    const auto bFree = Ops::AndNot(hb, Any3<Ops>(n.b, n.i, n.g, n.e));
    out.l = Ops::Select(Ops::And(hFree, Slope21<Ops>(n.h, n.g, n.f, n.r, n.d, n.upRight2)), out.m,
                        out.l);
    out.m = Ops::Select(Ops::And(hFree, Slope21<Ops>(n.h, n.i, n.d, n.q, n.f, n.upLeft2)), out.l,
                        out.m);
    out.j = Ops::Select(Ops::And(bFree, Slope21<Ops>(n.b, n.a, n.f, n.r, n.d, n.downRight2)), out.k,
                        out.j);
    out.k = Ops::Select(Ops::And(bFree, Slope21<Ops>(n.b, n.c, n.d, n.q, n.f, n.downLeft2)), out.j,
                        out.k);

    const auto fd = Ops::Not(Ops::Eq(n.f, n.d));
    const auto dFree = Ops::AndNot(fd, Any3<Ops>(n.d, n.i, n.e, n.c));
    const auto fFree = Ops::AndNot(fd, Any3<Ops>(n.f, n.e, n.a, n.g));
    out.j = Ops::Select(Ops::And(dFree, Slope21<Ops>(n.d, n.a, n.h, n.s, n.b, n.belowRight)), out.l,
                        out.j);
    out.l = Ops::Select(Ops::And(dFree, Slope21<Ops>(n.d, n.g, n.b, n.p, n.h, n.aboveRight)), out.j,
                        out.l);
    out.k = Ops::Select(Ops::And(fFree, Slope21<Ops>(n.f, n.c, n.h, n.s, n.b, n.belowLeft)), out.m,
                        out.k);
    out.m = Ops::Select(Ops::And(fFree, Slope21<Ops>(n.f, n.i, n.b, n.p, n.h, n.aboveLeft)), out.k,
                        out.m);
    return out;
}
