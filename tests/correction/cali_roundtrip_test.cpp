// Blobs written by the calibration writer load with every module present and valid, and
// every parsed record equals the record written, for one to four frequencies in V3.1 and V3.
#include "correction_fixture.h"

namespace correction_test {
namespace {

struct RoundTripCase {
    cal::BlobVersion version;
    int freqs;
};

class CaliRoundTrip : public testing::TestWithParam<RoundTripCase> {};

TEST_P(CaliRoundTrip, EveryRecordLoadsAsWritten) {
    const RoundTripCase c = GetParam();
    const std::vector<uint16_t> all = {100, 80, 60, 20};
    const std::vector<uint16_t> caliFreqs(all.begin(), all.begin() + c.freqs);
    const cal::CalibrationDescription d = fullDescription(c.version, caliFreqs);
    const cal::CalibrationBlob blob = cal::writeCalibrationBlob(d);
    ASSERT_TRUE(blob.ok()) << blob.error;

    const CORR_USECASE_ID usecases[] = {CORR_USECASE_ID_SF, CORR_USECASE_ID_DF, CORR_USECASE_ID_TF, CORR_USECASE_ID_FF};
    FixedParas f(usecases[c.freqs - 1], 2);
    // Working frequencies in the reverse order of the calibrated ones, so each working slot
    // must pick its record by calibration index, not by position.
    std::vector<int> caliIdx;
    for (int i = 0; i < c.freqs; ++i) {
        caliIdx.push_back(c.freqs - 1 - i);
        f.frm.fModFreqMHZ[i] = caliFreqs[c.freqs - 1 - i];
    }
    f.setBlob(blob.bytes);
    Handle h(&f.p);
    ASSERT_NE(h.h, nullptr);
    EXPECT_EQ(h.uiSucc, 0u);
    EXPECT_EQ(h.uiAbnormal, 0u);
    expectRecordsMatch(d, h, caliIdx);
}

INSTANTIATE_TEST_SUITE_P(OneToFourFrequencies, CaliRoundTrip,
                         testing::Values(RoundTripCase{cal::BlobVersion::V3_1, 1}, RoundTripCase{cal::BlobVersion::V3_1, 2},
                                         RoundTripCase{cal::BlobVersion::V3_1, 3}, RoundTripCase{cal::BlobVersion::V3_1, 4},
                                         RoundTripCase{cal::BlobVersion::V3, 1}, RoundTripCase{cal::BlobVersion::V3, 2},
                                         RoundTripCase{cal::BlobVersion::V3, 3}, RoundTripCase{cal::BlobVersion::V3, 4}),
                         [](const testing::TestParamInfo<RoundTripCase>& info) {
                             return std::string(info.param.version == cal::BlobVersion::V3 ? "V3_" : "V3p1_") +
                                    std::to_string(info.param.freqs) + "freqs";
                         });

// A V3 lens record of 40 bytes ends before the skew, which then reads as 0.
TEST(CaliRoundTripV3, LensRecordWithoutSkew) {
    cal::CalibrationDescription d = fullDescription(cal::BlobVersion::V3, {100});
    d.lens->writeSkew = false;
    d.lens->skew = 0.0f;
    const cal::CalibrationBlob blob = cal::writeCalibrationBlob(d);
    ASSERT_TRUE(blob.ok()) << blob.error;
    FixedParas f(CORR_USECASE_ID_SF, 2);
    f.setBlob(blob.bytes);
    Handle h(&f.p);
    expectRecordsMatch(d, h, {0});
}

}  // namespace
}  // namespace correction_test
