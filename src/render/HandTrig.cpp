#include "render/HandTrig.h"

#include <cmath>

namespace {

// A value carried as the unevaluated sum hi + lo, with |lo| about half an ulp of hi or less.
struct Wide {
    double hi, lo;
};

// a + b exactly.
[[gnu::always_inline]] inline Wide twoSum(double a, double b) {
    const double s = a + b;
    const double bv = s - a;
    return {s, (a - (s - bv)) + (b - bv)};
}

// a * b exactly: with a fused multiply-add where there is one, otherwise by splitting each
// factor into two halves of 26 bits, whose products are exact. Always inlined, so that inside
// the functions built for FMA it is an instruction and not a call to libm's fma().
#if defined(__FMA__)
constexpr bool FmaEverywhere = true;
#else
constexpr bool FmaEverywhere = false;
#endif
template <bool Fma> [[gnu::always_inline]] inline Wide twoProduct(double a, double b) {
    const double p = a * b;
    if constexpr (Fma || FmaEverywhere) {
        return {p, __builtin_fma(a, b, -p)};
    } else {
        constexpr double Splitter = 134217729.0; // 2^27 + 1
        const double ta = Splitter * a;
        const double ah = ta - (ta - a), al = a - ah;
        const double tb = Splitter * b;
        const double bh = tb - (tb - b), bl = b - bh;
        return {p, ((ah * bh - p) + ah * bl + al * bh) + al * bl};
    }
}

// pi/128 in three parts. The first two have 38 significant bits, so k times either is exact
// for |k| < 2^15; the third leaves the sum short by about 3e-40 of pi/128.
constexpr double Step[3] = {0x1.921fb54440000p-6, 0x1.68c234c4c0000p-45, 0x1.98a2e03707345p-83};
constexpr double StepsPerRadian = 0x1.45f306dc9c883p+5; // 128/pi
constexpr float Largest = 256.0f;                       // |k| stays under 2^14

// sin(i pi/128) for i = 0..64; cos(i pi/128) is sin((64 - i) pi/128).
constexpr Wide SinSteps[65] = {
    {0x0.0p+0, 0x0.0p+0},
    {0x1.92155f7a3667ep-6, -0x1.b1d63091a0130p-64},
    {0x1.91f65f10dd814p-5, -0x1.912bd0d569a90p-61},
    {0x1.2d52092ce19f6p-4, -0x1.9a088a8bf6b2cp-59},
    {0x1.917a6bc29b42cp-4, -0x1.e2718d26ed688p-60},
    {0x1.f564e56a9730ep-4, 0x1.a2704729ae56dp-59},
    {0x1.2c8106e8e613ap-3, 0x1.13000a89a11e0p-58},
    {0x1.5e214448b3fc6p-3, 0x1.531ff779ddac6p-57},
    {0x1.8f8b83c69a60bp-3, -0x1.26d19b9ff8d82p-57},
    {0x1.c0b826a7e4f63p-3, -0x1.af1439e521935p-62},
    {0x1.f19f97b215f1bp-3, -0x1.42deef11da2c4p-57},
    {0x1.111d262b1f677p-2, 0x1.824c20ab7aa9ap-56},
    {0x1.294062ed59f06p-2, -0x1.5d28da2c4612dp-56},
    {0x1.4135c94176601p-2, 0x1.0c97c4afa2518p-56},
    {0x1.58f9a75ab1fddp-2, -0x1.efdc0d58cf620p-62},
    {0x1.7088530fa459fp-2, -0x1.44b19e0864c5dp-56},
    {0x1.87de2a6aea963p-2, -0x1.72cedd3d5a610p-57},
    {0x1.9ef7943a8ed8ap-2, 0x1.6da81290bdbabp-57},
    {0x1.b5d1009e15cc0p-2, 0x1.5b362cb974183p-57},
    {0x1.cc66e9931c45ep-2, 0x1.6850e59c37f8fp-58},
    {0x1.e2b5d3806f63bp-2, 0x1.e0d891d3c6841p-58},
    {0x1.f8ba4dbf89abap-2, -0x1.2ec1fc1b776b8p-60},
    {0x1.073879922ffeep-1, -0x1.a5a014347406cp-55},
    {0x1.11eb3541b4b23p-1, -0x1.ef23b69abe4f1p-55},
    {0x1.1c73b39ae68c8p-1, 0x1.b25dd267f6600p-55},
    {0x1.26d054cdd12dfp-1, -0x1.5da743ef3770cp-55},
    {0x1.30ff7fce17035p-1, -0x1.efcc626f74a6fp-57},
    {0x1.3affa292050b9p-1, 0x1.e3e25e3954964p-56},
    {0x1.44cf325091dd6p-1, 0x1.8076a2cfdc6b3p-57},
    {0x1.4e6cabbe3e5e9p-1, 0x1.3c293edceb327p-57},
    {0x1.57d69348ceca0p-1, -0x1.75720992bfbb2p-55},
    {0x1.610b7551d2cdfp-1, -0x1.251b352ff2a37p-56},
    {0x1.6a09e667f3bcdp-1, -0x1.bdd3413b26456p-55},
    {0x1.72d0837efff96p-1, 0x1.0d4ef0f1d915cp-55},
    {0x1.7b5df226aafafp-1, -0x1.0f537acdf0ad7p-56},
    {0x1.83b0e0bff976ep-1, -0x1.6f420f8ea3475p-56},
    {0x1.8bc806b151741p-1, -0x1.2c5e12ed1336dp-55},
    {0x1.93a22499263fbp-1, 0x1.3d419a920df0bp-55},
    {0x1.9b3e047f38741p-1, -0x1.30ee286712474p-55},
    {0x1.a29a7a0462782p-1, -0x1.128bb015df175p-56},
    {0x1.a9b66290ea1a3p-1, 0x1.9f630e8b6dac8p-60},
    {0x1.b090a58150200p-1, -0x1.926da300ffccep-55},
    {0x1.b728345196e3ep-1, -0x1.bc69f324e6d61p-55},
    {0x1.bd7c0ac6f952ap-1, -0x1.825a732ac700ap-55},
    {0x1.c38b2f180bdb1p-1, -0x1.6e0b1757c8d07p-56},
    {0x1.c954b213411f5p-1, -0x1.2fb761e946603p-58},
    {0x1.ced7af43cc773p-1, -0x1.e7b6bb5ab58aep-58},
    {0x1.d4134d14dc93ap-1, -0x1.4ef5295d25af2p-55},
    {0x1.d906bcf328d46p-1, 0x1.457e610231ac2p-56},
    {0x1.ddb13b6ccc23cp-1, 0x1.83c37c6107db3p-55},
    {0x1.e212104f686e5p-1, -0x1.014c76c126527p-55},
    {0x1.e6288ec48e112p-1, -0x1.16b56f2847754p-57},
    {0x1.e9f4156c62ddap-1, 0x1.760b1e2e3f81ep-55},
    {0x1.ed740e7684963p-1, 0x1.e82c791f59cc2p-56},
    {0x1.f0a7efb9230d7p-1, 0x1.52c7adc6b4989p-56},
    {0x1.f38f3ac64e589p-1, -0x1.d7bafb51f72e6p-56},
    {0x1.f6297cff75cb0p-1, 0x1.562172a361fd3p-56},
    {0x1.f8764fa714ba9p-1, 0x1.ab256778ffcb6p-56},
    {0x1.fa7557f08a517p-1, -0x1.7a0a8ca13571fp-55},
    {0x1.fc26470e19fd3p-1, 0x1.1ec8668ecaceep-55},
    {0x1.fd88da3d12526p-1, -0x1.87df6378811c7p-55},
    {0x1.fe9cdad01883ap-1, 0x1.521ecd0c67e35p-57},
    {0x1.ff621e3796d7ep-1, -0x1.c57bc2e24aa15p-57},
    {0x1.ffd886084cd0dp-1, -0x1.1354d4556e4cbp-55},
    {0x1.0000000000000p+0, 0x0.0p+0},
};

// 1/n!, with the part a double misses where the term needs it.
constexpr Wide InvFact3 = {0x1.5555555555555p-3, 0x1.5555555555555p-57};
constexpr Wide InvFact4 = {0x1.5555555555555p-5, 0x1.5555555555555p-59};
constexpr double InvFact5 = 0x1.1111111111111p-7;
constexpr double InvFact6 = 0x1.6c16c16c16c17p-10;
constexpr double InvFact7 = 0x1.a01a01a01a01ap-13;
constexpr double InvFact8 = 0x1.a01a01a01a01ap-16;
constexpr double InvFact9 = 0x1.71de3a556c734p-19;
constexpr double InvFact10 = 0x1.27e4fb7789f5cp-22;
constexpr double InvFact11 = 0x1.ae64567f544e4p-26;
constexpr double InvFact12 = 0x1.1eed8eff8d898p-29;

// cos r - 1 and sin r - r for |r| <= pi/256, where z = r^2 <= 1.6e-4: sin r - r =
// r z (-1/3! + z/5! - ...) is under 2^-15 of r, and cos r - 1 = -z/2 + z^2 (1/4! - z/6! + ...)
// under 2^-13. Their leading products are exact and the rest of each series is summed in
// doubles.
struct Series {
    Wide cm, sm;
};
template <bool Fma> [[gnu::always_inline]] inline Series series(Wide r) {
    const Wide zr = twoProduct<Fma>(r.hi, r.hi);
    const double zh = zr.hi, zl = zr.lo + 2 * r.hi * r.lo;

    const Wide rz = twoProduct<Fma>(r.hi, zh);
    const double rzl = rz.lo + r.hi * zl + r.lo * zh;
    const double sinSeries = InvFact5 - zh * (InvFact7 - zh * (InvFact9 - zh * InvFact11));
    const Wide sm0 = twoProduct<Fma>(rz.hi, -InvFact3.hi);
    const Wide sm = {sm0.hi,
                     sm0.lo - rz.hi * InvFact3.lo - rzl * InvFact3.hi + rz.hi * (zh * sinSeries)};

    const Wide zz = twoProduct<Fma>(zh, zh);
    const double zzl = zz.lo + 2 * zh * zl;
    const double cosSeries = InvFact6 - zh * (InvFact8 - zh * (InvFact10 - zh * InvFact12));
    const Wide p = twoProduct<Fma>(zz.hi, InvFact4.hi);
    Wide cm = twoSum(-0.5 * zh, p.hi);
    cm.lo += -0.5 * zl + p.lo + zz.hi * (InvFact4.lo - zh * cosSeries) + zzl * InvFact4.hi;
    return {cm, sm};
}

// a cos r + b sin r for |r| <= pi/256. The four largest parts are summed exactly and
// everything below them, each part good to about 2^-100 of a and b, in one double: the
// leading double of the result is the sum rounded once.
template <bool Fma>
[[gnu::always_inline]] inline Wide turned(Wide a, Wide b, Wide r, const Series& rs) {
    const Wide u = twoProduct<Fma>(b.hi, r.hi);
    const Wide v = twoProduct<Fma>(a.hi, rs.cm.hi);
    const Wide w = twoProduct<Fma>(b.hi, rs.sm.hi);
    const double small = a.lo + u.lo + v.lo + w.lo + (b.hi * r.lo + b.lo * r.hi) +
                         (a.hi * rs.cm.lo + a.lo * rs.cm.hi) + (b.hi * rs.sm.lo + b.lo * rs.sm.hi);
    const Wide t = twoSum(v.hi, w.hi);
    const Wide s = twoSum(u.hi, t.hi);
    const Wide f = twoSum(a.hi, s.hi);
    return twoSum(f.hi, f.lo + (s.lo + (t.lo + small)));
}

inline Wide negated(Wide a) {
    return {-a.hi, -a.lo};
}

// angle = k pi/128 + r, |r| <= pi/256. x - k * Step[0] is exact: for k other than 0 both have
// their last bit at or above Step[0]'s, and the difference is under 2^-6.
struct Reduced {
    int k;
    Wide r;
};
[[gnu::always_inline]] inline Reduced reduced(float angle) {
    const double x = angle;
    const int k = static_cast<int>(x * StepsPerRadian + (x < 0 ? -0.5 : 0.5));
    const double kd = k;
    const Wide head = twoSum(x - kd * Step[0], -(kd * Step[1]));
    return {k, twoSum(head.hi, head.lo - kd * Step[2])};
}

// cos and sin of k pi/128 + r from those of i pi/128 + r, i = k mod 64.
inline HandTrig::CosSin quartersOn(int k, double cosA, double sinA) {
    switch ((k >> 6) & 3) {
    case 0:
        return {cosA, sinA};
    case 1:
        return {-sinA, cosA};
    case 2:
        return {-cosA, -sinA};
    default:
        return {sinA, -cosA};
    }
}

template <bool Fma> [[gnu::always_inline]] inline HandTrig::CosSin inFull(float angle) {
    const Reduced a = reduced(angle);
    const Series rs = series<Fma>(a.r);
    const Wide s = SinSteps[a.k & 63];
    const Wide c = SinSteps[64 - (a.k & 63)];
    return quartersOn(a.k, turned<Fma>(c, negated(s), a.r, rs).hi, turned<Fma>(s, c, a.r, rs).hi);
}

// The quick try: a cos r + b sin r as turned() makes it, with fewer of its parts exact. The
// sum is good to about 2^-72 of a and b, under 2^-65 of the result (which is at least 2^-7.4,
// or for i = 0 or 64 scales with r); false where moving it 2^-62 of itself either way could
// change the double it rounds to. About 0.3% of angles go on to the full sum.
template <bool Fma>
[[gnu::always_inline]] inline bool quickTurned(Wide a, Wide b, Wide r, double zh, double cmTail,
                                               double sm, double& out) {
    const Wide u = twoProduct<Fma>(b.hi, r.hi);
    const Wide v = twoProduct<Fma>(a.hi, -0.5 * zh);
    const Wide t = twoSum(u.hi, v.hi);
    const Wide f = twoSum(a.hi, t.hi);
    const double small = f.lo + t.lo + u.lo + v.lo + a.lo + (b.hi * r.lo + b.lo * r.hi) +
                         a.lo * (-0.5 * zh) + a.hi * cmTail + b.lo * sm;
    const double tail = small + b.hi * sm;
    const double hi = f.hi + tail;
    const double lo = tail - (hi - f.hi);
    const double margin = std::fabs(hi) * 0x1p-62;
    out = hi;
    return hi + (lo + margin) == hi && hi + (lo - margin) == hi;
}

template <bool Fma> [[gnu::always_inline]] inline HandTrig::CosSin cosSin(float angle) {
    const Reduced a = reduced(angle);
    const Wide r = a.r;
    const Wide zr = twoProduct<Fma>(r.hi, r.hi);
    const double zh = zr.hi, zl = zr.lo + 2 * r.hi * r.lo;
    // cos r - 1 past -zh/2, and sin r - r, each to about 2^-73.
    const double cmTail =
        -0.5 * zl + zh * zh * (InvFact4.hi - zh * (InvFact6 - zh * (InvFact8 - zh * InvFact10)));
    const double sm =
        r.hi * zh * (-InvFact3.hi + zh * (InvFact5 - zh * (InvFact7 - zh * InvFact9)));
    const Wide s = SinSteps[a.k & 63];
    const Wide c = SinSteps[64 - (a.k & 63)];
    double cosA, sinA;
    if (quickTurned<Fma>(c, negated(s), r, zh, cmTail, sm, cosA) &&
        quickTurned<Fma>(s, c, r, zh, cmTail, sm, sinA))
        return quartersOn(a.k, cosA, sinA);
    return inFull<Fma>(angle);
}

#if defined(__x86_64__) || defined(__i386__)
__attribute__((target("fma"))) HandTrig::CosSin cosSinFma(float angle) {
    return cosSin<true>(angle);
}
__attribute__((target("fma"))) HandTrig::CosSin inFullFma(float angle) {
    return inFull<true>(angle);
}
bool hasFma() {
    static const bool has = __builtin_cpu_supports("fma");
    return has && HandTrig::FmaAllowed();
}
#endif

// glibc's cos and sin are not rounded correctly everywhere: at these angles of the hands (and
// the quarter turns past them) the result it gives is the neighbour of the nearest double, by
// up to 0.503 of an ulp. The hands have always been placed with glibc's values, so these are
// those, as glibc 2.36 gives them on x86-64 with FMA.
struct Listed {
    float angle;
    HandTrig::CosSin value;
};
constexpr Listed GlibcValues[] = {
    {-0x1.596122p+0f, {0x1.c23f4e5daca5ap-3, -0x1.f3793b29ac268p-1}},
    {-0x1.36f9bcp+0f, {0x1.64f051f9f070ap-2, -0x1.dfe360e82733fp-1}},
    {0x1.36f9bcp+0f, {0x1.64f051f9f070ap-2, 0x1.dfe360e82733fp-1}},
    {0x1.596122p+0f, {0x1.c23f4e5daca5ap-3, 0x1.f3793b29ac268p-1}},
    {0x1.f9c834p+0f, {-0x1.93651ef90f2dcp-2, 0x1.d698fd7800019p-1}},
    {0x1.ff972ap+0f, {-0x1.a8a4f2dec3c11p-2, 0x1.d1e688b9f4604p-1}},
    {0x1.7c01b8p+1f, {-0x1.f86030dd92206p-1, 0x1.601db5b881df6p-3}},
    {0x1.34f704p+2f, {0x1.d6c4181cbff68p-4, -0x1.fc9b6a9feed98p-1}},
};

// The angles this does not work out: beyond its range, zero (whose sign sin keeps) and the
// listed ones.
bool given(float angle, HandTrig::CosSin& value) {
    if (!(std::fabs(angle) < Largest)) {
        value = {std::cos(static_cast<double>(angle)), std::sin(static_cast<double>(angle))};
        return true;
    }
    if (angle == 0.0f) {
        value = {1.0, static_cast<double>(angle)};
        return true;
    }
    for (const Listed& l : GlibcValues)
        if (l.angle == angle) {
            value = l.value;
            return true;
        }
    return false;
}

// A hand is drawn in segments at one angle, each asking for that angle and the one a quarter
// turn on, so the last two answers are kept.
struct Kept {
    float angle[2];
    HandTrig::CosSin value[2];
    int next;
};
thread_local Kept kept = {{NAN, NAN}, {}, 0};

} // namespace

bool& HandTrig::FmaAllowed() {
    static bool allowed = true;
    return allowed;
}

HandTrig::CosSin HandTrig::Of(float angle) {
    CosSin value;
    if (given(angle, value))
        return value;
    for (int j = 0; j < 2; ++j)
        if (kept.angle[j] == angle)
            return kept.value[j];
#if defined(__x86_64__) || defined(__i386__)
    value = hasFma() ? cosSinFma(angle) : cosSin<false>(angle);
#else
    value = cosSin<false>(angle);
#endif
    kept.angle[kept.next] = angle;
    kept.value[kept.next] = value;
    kept.next ^= 1;
    return value;
}

HandTrig::CosSin HandTrig::OfInFull(float angle) {
    CosSin value;
    if (given(angle, value))
        return value;
#if defined(__x86_64__) || defined(__i386__)
    if (hasFma())
        return inFullFma(angle);
#endif
    return inFull<false>(angle);
}
