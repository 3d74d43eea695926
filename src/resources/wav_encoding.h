#pragma once
// The built-in sounds' common last step: two channels of samples made in double precision,
// scaled to a peak and written as a 16-bit PCM WAV file.
#include <string>
#include <vector>

namespace zv {

// A complete WAV file of the two channels (of equal length) at `rate` samples a second,
// scaled so that the loudest sample is `peak` of full scale; silence stays silence.
std::string encodeStereoWav(const std::vector<double>& left, const std::vector<double>& right,
                            int rate, double peak);

}  // namespace zv
