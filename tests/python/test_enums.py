"""The seven enumerations: names, values and registration order are the public contract
(programs compare and store the numbers)."""
import pytest

import KorvaneDepthCamera as K

EXPECTED = {
    "TOFDeviceType": [("VGA", 0), ("HQVGA", 1)],
    "TOFOutput": [("RAW", 0), ("DEPTH", 2), ("CONFIDENCE", 1), ("CACHE", 4)],
    "TOFConnect": [("CSI", 0), ("USB", 1)],
    "TOFControl": [("RANGE", 0), ("FMT_WIDTH", 1), ("FMT_HEIGHT", 2), ("MODE", 3), ("FRAME_MODE", 4),
                   ("EXPOSURE", 5), ("FRAME_RATE", 6), ("SKIP_FRAME", 7), ("SKIP_FRAME_LOOP", 8),
                   ("CONFIG_DIR_EXT", 256)],
    "TofWorkMode": list(zip(["SINGLE_FREQ", "DOUBLE_FREQ", "TRIPLE_FREQ", "QUAD_FREQ", "DISTANCE", "HDR", "AE",
                             "BG_OUTDOOR", "GRAY_ONLY", "CUSTOM1", "CUSTOM2", "CUSTOM3"], range(12))),
    "TofFrameWorkMode": list(zip([
        "SINGLE_FREQ_2PHASE", "SINGLE_FREQ_4PHASE", "SINGLE_FREQ_4PHASE_GRAY", "SINGLE_FREQ_4PHASE_BG",
        "SINGLE_FREQ_4PHASE_4BG", "SINGLE_FREQ_4PHASE_GRAY_5BG", "SINGLE_FREQ_GRAY_BG_4PHASE_GRAY_BG",
        "SINGLE_FREQ_GRAY_BG_4PHASE_BG", "SINGLE_FREQ_BG_GRAY_BG_4PHASE", "SINGLE_FREQ_BG_4PHASE_BG_GRAY",
        "DOUBLE_FREQ_4PHASE", "DOUBLE_FREQ_4PHASE_GRAY_4PHASE_BG", "DOUBLE_FREQ_4PHASE_4BG",
        "DOUBLE_FREQ_4PHASE_GRAY_5BG", "TRIPLE_FREQ_4PHASE", "TRIPLE_FREQ_4PHASE_GRAY_4PHASE_GRAY_4PHASE_BG",
        "QUAD_FREQ_4PHASE", "QUAD_FREQ_4PHASE_GRAY_4PHASE_BG_4PHASE_GRAY_4PHASE_BG", "BG_OUTDOOR", "GRAY_ONLY",
        "CUSTOM"], range(21))),
    "TOFErrorCode": [("KorvaneSuccess", 0), ("KorvaneInvalidParameter", 1), ("KorvaneNoCache", 2),
                     ("KorvaneUnkownDevice", 3), ("KorvaneNotImplemented", 4), ("KorvaneSkipFrame", 240),
                     ("KorvaneSystemError", -2), ("KorvaneUnkownError", -1)],
}


@pytest.mark.parametrize("name", EXPECTED)
def test_members_values_and_order(name):
    cls = getattr(K, name)
    assert [(member, int(value)) for member, value in cls.__members__.items()] == EXPECTED[name]
    for member, value in EXPECTED[name]:
        assert getattr(cls, member).value == value
        assert cls(value) == getattr(cls, member)


def test_members_are_reached_through_their_class_only():
    for name, members in EXPECTED.items():
        for member, _ in members:
            assert not hasattr(K, member), f"{name}.{member} leaked into the module"


def test_internal_enumerators_stay_hidden():
    assert "AMPLITUDE" not in K.TOFOutput.__members__
    assert "AUTO_FRAME_RATE" not in K.TOFControl.__members__


def test_work_modes_convert_to_int():
    assert int(K.TofWorkMode.CUSTOM3) == 11
    assert int(K.TofFrameWorkMode.QUAD_FREQ_4PHASE_GRAY_4PHASE_BG_4PHASE_GRAY_4PHASE_BG) == 17
    assert "__int__" in vars(K.TofWorkMode) and "__int__" in vars(K.TofFrameWorkMode)


@pytest.mark.parametrize("code,text", [
    (K.TOFErrorCode.KorvaneSuccess, "Success"),
    (K.TOFErrorCode.KorvaneInvalidParameter, "Invalid parameter"),
    (K.TOFErrorCode.KorvaneNoCache, "No cache"),
    (K.TOFErrorCode.KorvaneUnkownDevice, "Unkown device"),
    (K.TOFErrorCode.KorvaneNotImplemented, "Not implemented"),
    (K.TOFErrorCode.KorvaneSkipFrame, "Skip frame"),
    (K.TOFErrorCode.KorvaneSystemError, "System error"),
    (K.TOFErrorCode.KorvaneUnkownError, "Unknown error"),
    (K.TOFErrorCode(5), "Unknown error"),
])
def test_error_code_text(code, text):
    assert code.str() == text
