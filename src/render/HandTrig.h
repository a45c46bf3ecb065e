#pragma once

// The cosine and sine the hands are placed with, worked out here rather than in the maths
// library: a tick then touches none of libm's pages, which the trim gives back after start-up.
// Each result is the double nearest the true value, rounded once from a sum good to about
// 2^-100, except at the few hand angles where glibc rounds the other way, which keep glibc's
// value. So for every angle the clock's hands take the result is what std::cos and std::sin
// give; tst_HandTrig compares them all.
namespace HandTrig {

struct CosSin {
    double cos;
    double sin;
};

// cos(angle) and sin(angle) of the angle as a double. Angles of 256 or more either way, and
// ones that are not finite, are passed on to std::cos and std::sin.
CosSin Of(float angle);

// The same, always worked out in full: Of first tries a quicker sum and works the result out in
// full only where that sum is too close to halfway between two doubles to round.
CosSin OfInFull(float angle);

// Whether the code using fused multiply-adds may run where the processor has them: true unless
// the plain code is asked for. Both give the same results (the tests compare them).
bool& FmaAllowed();

} // namespace HandTrig
