// The centre frequency of a recording (the radio frequency that 0 Hz of the baseband stands for), as
// SDR recorders leave it in the file's `auxi` chunk or in the file's name. Frequencies are whole
// hertz; 0 means that none is known.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The highest centre frequency taken from a name or typed: 1 THz.
constexpr int64_t kMaxCentreFrequency = 1000000000000;

// Bytes of an `auxi` chunk's payload that hold the centre frequency (an unsigned 32-bit field at 32).
constexpr std::size_t kAuxiCentreFrequencyEnd = 36;

// The size of the `auxi` payload most SDR recorders write.
constexpr std::size_t kCommonAuxiBytes = 164;

// The `auxi` payload a save writes for a recording whose centre frequency is `hz` (0: none known, and
// no chunk is written): the payload the file carried with its centre-frequency field set to `hz` (one
// too short to hold the field is first lengthened with zeros to kCommonAuxiBytes), or, when the file
// carried none, kCommonAuxiBytes zeros with the field set. A frequency beyond the field's 32 bits
// cannot be written there: the carried payload is kept with the field 0 (none known), and without a
// carried payload nothing is written.
std::vector<uint8_t> AuxiPayloadForSave(std::span<const uint8_t> carried, int64_t hz);

// The centre frequency field of an `auxi` payload of `size` bytes; 0 when the payload is too short to
// hold it (or it holds 0).
int64_t AuxiCentreFrequency(const uint8_t* payload, std::size_t size);

// The centre frequency a file name states with a unit. A frequency is digits with an optional decimal
// part, directly followed by "Hz", "kHz", "MHz" or "GHz" (any letter case), standing on its own: the
// number begins the name or follows one of "_- ([{+=", and the unit ends the name or is followed by a
// character that is neither a letter nor a digit ("rec_7050kHz_RF.wav", "7.05MHz.wav"; not "x7050kHz",
// "7050kHzA", "7,05MHz", "7050 kHz", "v1.2.3MHz"). A bare number never counts, nor does a rate ("sps",
// "ksps", "Msps"). Names often carry the recording's rate as a frequency too ("rec_7050kHz_48000Hz.wav"),
// so a frequency equal to `sampleRate` (the recording's frames per second) is not the centre; of the
// others the largest counts, since a bandwidth or a rate written beside the centre is smaller. Rounded
// to whole hertz; 0 when none is found or it lies above kMaxCentreFrequency. Only the part after the
// last '/' is looked at.
int64_t CentreFrequencyFromFileName(std::string_view path, int64_t sampleRate);

// The centre frequency of each recording read during the run, by path: what its file carries, unless
// the user typed one for it (a typed 0 says that it has none).
class CentreFrequencies {
public:
    // A file was read: `fromFile` is what it carries (0: nothing).
    void FileRead(const std::string& path, int64_t fromFile);
    // The user's value for the recording at `path`; it holds for later reads of the same path.
    void Typed(const std::string& path, int64_t hz);
    // The centre frequency of the recording at `path`, 0 when none is known.
    int64_t Of(const std::string& path) const;

private:
    std::map<std::string, int64_t> fromFiles_;
    std::map<std::string, int64_t> typed_;
};
