#ifndef BONEYARD_SPREAD_H
#define BONEYARD_SPREAD_H

#include <algorithm>
#include <cstddef>
#include <vector>

// A figure over all runs: the median and the quartiles around it.
struct Spread {
    double median, low, high;
};

inline Spread spreadOf(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    const double median = n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2.0;
    return {median, v[n / 4], v[(3 * n) / 4 < n ? (3 * n) / 4 : n - 1]};
}

#endif
