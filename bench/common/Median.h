#pragma once

#include <algorithm>
#include <vector>

// The middle of the values (the mean of the two middle ones for an even count).
inline double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}
