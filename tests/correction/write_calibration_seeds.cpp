// Writes the seed corpus of the calibration-blob fuzz target into the directory named on
// the command line: valid V3.1 and V3 blobs for one to four frequencies, header and record
// variants, and truncated or corrupted copies.
//
//   write_calibration_seeds fuzz/corpus/calibration_blob_fuzz
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "calibration_samples.h"

namespace {

namespace cal = Korvane::Calibration;

bool save(const std::string& dir, const std::string& name, const std::vector<uint8_t>& bytes) {
    std::ofstream out(dir + "/" + name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus directory>\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    const std::vector<uint16_t> freqs = {100, 80, 60, 20};  // the fuzz target works at these
    std::vector<std::pair<std::string, cal::CalibrationDescription>> descriptions;
    for (int f = 1; f <= 4; ++f) {
        const std::vector<uint16_t> used(freqs.begin(), freqs.begin() + f);
        descriptions.emplace_back("v31_f" + std::to_string(f), correction_test::fullDescription(cal::BlobVersion::V3_1, used));
        descriptions.emplace_back("v3_f" + std::to_string(f), correction_test::fullDescription(cal::BlobVersion::V3, used));
    }
    cal::CalibrationDescription d = correction_test::fullDescription(cal::BlobVersion::V3_1, {100, 20});
    d.headerTail = cal::HeaderTail::ErrPrecision;
    d.fppn->imageSource = 1;
    descriptions.emplace_back("v31_short_header_fppn_blob", d);
    d = correction_test::fullDescription(cal::BlobVersion::V3_1, {60});
    d.versionText = "CALI0300 ";
    d.caliArithVersion = "V3.1";
    d.headerTail = cal::HeaderTail::WigType;
    d.lens.reset();
    d.mask.reset();
    descriptions.emplace_back("v31_long_version_text", d);

    int written = 0;
    for (const auto& [name, description] : descriptions) {
        const cal::CalibrationBlob blob = cal::writeCalibrationBlob(description);
        if (!blob.ok()) {
            std::fprintf(stderr, "%s: %s\n", name.c_str(), blob.error.c_str());
            return 1;
        }
        const std::vector<uint8_t>& b = blob.bytes;
        std::vector<std::pair<std::string, std::vector<uint8_t>>> variants = {{name, b}};
        // Cut in the header, in the records, and with the total length cut to match.
        for (size_t cut : {size_t{40}, size_t{90}, b.size() / 2, b.size() - 1}) {
            std::vector<uint8_t> prefix(b.begin(), b.begin() + static_cast<std::ptrdiff_t>(cut));
            variants.emplace_back(name + "_cut" + std::to_string(cut), prefix);
            for (int i = 0; i < 4; ++i) prefix[i] = static_cast<uint8_t>(cut >> (8 * i));
            variants.emplace_back(name + "_cut" + std::to_string(cut) + "_total", prefix);
        }
        // A few deterministic byte flips across the blob.
        std::vector<uint8_t> flipped = b;
        for (size_t i = 53; i < flipped.size(); i += 97) flipped[i] ^= 0xA5;
        variants.emplace_back(name + "_flipped", flipped);
        for (const auto& [variantName, bytes] : variants) {
            if (!save(dir, variantName + ".bin", bytes)) {
                std::fprintf(stderr, "cannot write %s/%s.bin\n", dir.c_str(), variantName.c_str());
                return 1;
            }
            ++written;
        }
    }
    std::printf("wrote %d seeds to %s\n", written, dir.c_str());
    return 0;
}
