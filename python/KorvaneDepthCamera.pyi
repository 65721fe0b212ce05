"""Time-of-flight depth cameras: depth, amplitude and confidence as numpy arrays"""
from typing import ClassVar

import numpy
from numpy.typing import NDArray

__version__: str

class TOFDeviceType:
    __members__: ClassVar[dict[str, TOFDeviceType]]
    VGA: ClassVar[TOFDeviceType]  # 0, 640 x 480
    HQVGA: ClassVar[TOFDeviceType]  # 1, 240 x 180
    def __init__(self, value: int) -> None: ...
    def __eq__(self, other: object) -> bool: ...
    def __ne__(self, other: object) -> bool: ...
    def __hash__(self) -> int: ...
    def __index__(self) -> int: ...
    def __int__(self) -> int: ...
    @property
    def name(self) -> str: ...
    @property
    def value(self) -> int: ...

class TOFOutput:
    __members__: ClassVar[dict[str, TOFOutput]]
    RAW: ClassVar[TOFOutput]  # 0
    DEPTH: ClassVar[TOFOutput]  # 2
    CONFIDENCE: ClassVar[TOFOutput]  # 1
    CACHE: ClassVar[TOFOutput]  # 4
    def __init__(self, value: int) -> None: ...
    def __eq__(self, other: object) -> bool: ...
    def __ne__(self, other: object) -> bool: ...
    def __hash__(self) -> int: ...
    def __index__(self) -> int: ...
    def __int__(self) -> int: ...
    @property
    def name(self) -> str: ...
    @property
    def value(self) -> int: ...

class TOFConnect:
    __members__: ClassVar[dict[str, TOFConnect]]
    CSI: ClassVar[TOFConnect]  # 0
    USB: ClassVar[TOFConnect]  # 1
    def __init__(self, value: int) -> None: ...
    def __eq__(self, other: object) -> bool: ...
    def __ne__(self, other: object) -> bool: ...
    def __hash__(self) -> int: ...
    def __index__(self) -> int: ...
    def __int__(self) -> int: ...
    @property
    def name(self) -> str: ...
    @property
    def value(self) -> int: ...

class TOFControl:
    __members__: ClassVar[dict[str, TOFControl]]
    RANGE: ClassVar[TOFControl]  # 0, millimetres
    FMT_WIDTH: ClassVar[TOFControl]  # 1
    FMT_HEIGHT: ClassVar[TOFControl]  # 2
    MODE: ClassVar[TOFControl]  # 3
    FRAME_MODE: ClassVar[TOFControl]  # 4
    EXPOSURE: ClassVar[TOFControl]  # 5
    FRAME_RATE: ClassVar[TOFControl]  # 6, frames per second
    SKIP_FRAME: ClassVar[TOFControl]  # 7
    SKIP_FRAME_LOOP: ClassVar[TOFControl]  # 8
    CONFIG_DIR_EXT: ClassVar[TOFControl]  # 256
    def __init__(self, value: int) -> None: ...
    def __eq__(self, other: object) -> bool: ...
    def __ne__(self, other: object) -> bool: ...
    def __hash__(self) -> int: ...
    def __index__(self) -> int: ...
    def __int__(self) -> int: ...
    @property
    def name(self) -> str: ...
    @property
    def value(self) -> int: ...

class TofWorkMode:
    __members__: ClassVar[dict[str, TofWorkMode]]
    SINGLE_FREQ: ClassVar[TofWorkMode]  # 0
    DOUBLE_FREQ: ClassVar[TofWorkMode]  # 1
    TRIPLE_FREQ: ClassVar[TofWorkMode]  # 2
    QUAD_FREQ: ClassVar[TofWorkMode]  # 3
    DISTANCE: ClassVar[TofWorkMode]  # 4
    HDR: ClassVar[TofWorkMode]  # 5
    AE: ClassVar[TofWorkMode]  # 6
    BG_OUTDOOR: ClassVar[TofWorkMode]  # 7
    GRAY_ONLY: ClassVar[TofWorkMode]  # 8
    CUSTOM1: ClassVar[TofWorkMode]  # 9
    CUSTOM2: ClassVar[TofWorkMode]  # 10
    CUSTOM3: ClassVar[TofWorkMode]  # 11
    def __init__(self, value: int) -> None: ...
    def __eq__(self, other: object) -> bool: ...
    def __ne__(self, other: object) -> bool: ...
    def __hash__(self) -> int: ...
    def __index__(self) -> int: ...
    def __int__(self) -> int: ...
    @property
    def name(self) -> str: ...
    @property
    def value(self) -> int: ...

class TofFrameWorkMode:
    __members__: ClassVar[dict[str, TofFrameWorkMode]]
    SINGLE_FREQ_2PHASE: ClassVar[TofFrameWorkMode]  # 0
    SINGLE_FREQ_4PHASE: ClassVar[TofFrameWorkMode]  # 1
    SINGLE_FREQ_4PHASE_GRAY: ClassVar[TofFrameWorkMode]  # 2
    SINGLE_FREQ_4PHASE_BG: ClassVar[TofFrameWorkMode]  # 3
    SINGLE_FREQ_4PHASE_4BG: ClassVar[TofFrameWorkMode]  # 4
    SINGLE_FREQ_4PHASE_GRAY_5BG: ClassVar[TofFrameWorkMode]  # 5
    SINGLE_FREQ_GRAY_BG_4PHASE_GRAY_BG: ClassVar[TofFrameWorkMode]  # 6
    SINGLE_FREQ_GRAY_BG_4PHASE_BG: ClassVar[TofFrameWorkMode]  # 7
    SINGLE_FREQ_BG_GRAY_BG_4PHASE: ClassVar[TofFrameWorkMode]  # 8
    SINGLE_FREQ_BG_4PHASE_BG_GRAY: ClassVar[TofFrameWorkMode]  # 9
    DOUBLE_FREQ_4PHASE: ClassVar[TofFrameWorkMode]  # 10
    DOUBLE_FREQ_4PHASE_GRAY_4PHASE_BG: ClassVar[TofFrameWorkMode]  # 11
    DOUBLE_FREQ_4PHASE_4BG: ClassVar[TofFrameWorkMode]  # 12
    DOUBLE_FREQ_4PHASE_GRAY_5BG: ClassVar[TofFrameWorkMode]  # 13
    TRIPLE_FREQ_4PHASE: ClassVar[TofFrameWorkMode]  # 14
    TRIPLE_FREQ_4PHASE_GRAY_4PHASE_GRAY_4PHASE_BG: ClassVar[TofFrameWorkMode]  # 15
    QUAD_FREQ_4PHASE: ClassVar[TofFrameWorkMode]  # 16
    QUAD_FREQ_4PHASE_GRAY_4PHASE_BG_4PHASE_GRAY_4PHASE_BG: ClassVar[TofFrameWorkMode]  # 17
    BG_OUTDOOR: ClassVar[TofFrameWorkMode]  # 18
    GRAY_ONLY: ClassVar[TofFrameWorkMode]  # 19
    CUSTOM: ClassVar[TofFrameWorkMode]  # 20
    def __init__(self, value: int) -> None: ...
    def __eq__(self, other: object) -> bool: ...
    def __ne__(self, other: object) -> bool: ...
    def __hash__(self) -> int: ...
    def __index__(self) -> int: ...
    def __int__(self) -> int: ...
    @property
    def name(self) -> str: ...
    @property
    def value(self) -> int: ...

class TOFErrorCode:
    __members__: ClassVar[dict[str, TOFErrorCode]]
    KorvaneSuccess: ClassVar[TOFErrorCode]  # 0
    KorvaneInvalidParameter: ClassVar[TOFErrorCode]  # 1
    KorvaneNoCache: ClassVar[TOFErrorCode]  # 2
    KorvaneUnkownDevice: ClassVar[TOFErrorCode]  # 3
    KorvaneNotImplemented: ClassVar[TOFErrorCode]  # 4
    KorvaneSkipFrame: ClassVar[TOFErrorCode]  # 240
    KorvaneSystemError: ClassVar[TOFErrorCode]  # -2
    KorvaneUnkownError: ClassVar[TOFErrorCode]  # -1
    def __init__(self, value: int) -> None: ...
    def __eq__(self, other: object) -> bool: ...
    def __ne__(self, other: object) -> bool: ...
    def __hash__(self) -> int: ...
    def __index__(self) -> int: ...
    def __int__(self) -> int: ...
    @property
    def name(self) -> str: ...
    @property
    def value(self) -> int: ...
    def str(self) -> str: ...

class KorvaneFormat:
    """Size and time of one frame plane (no constructor: returned by getFrameFormat)."""
    width: int  # pixels
    height: int  # pixels
    timestamp: int  # milliseconds, as the sensor delivered the frame

class KorvaneInfo:
    """The open camera (no constructor: returned by getCameraInfo, a copy)."""
    index: int  # device index given to open
    connect: TOFConnect
    device_type: TOFDeviceType
    width: int  # pixels of one sensor image
    height: int
    bit_width: int  # bits per sample
    bpp: int  # bytes per sample

class KorvaneStatistics:
    """Counters of the stream since the last start (no constructor: returned by getStatistics)."""
    @property
    def delivered(self) -> int:
        """frames published to the queue"""
    @property
    def skipped(self) -> int:
        """frames dropped by SKIP_FRAME / SKIP_FRAME_LOOP"""
    @property
    def failed(self) -> int:
        """captures (time-outs included) that produced no frame"""
    @property
    def recycled(self) -> int:
        """published frames overwritten before anyone requested them (dropped)"""
    @property
    def fps(self) -> float:
        """frames per second measured by the capture thread"""

class KorvaneFrame:
    """A frame from requestFrame (no constructor). It keeps its memory alive after the
    camera's next start, close or destruction; after releaseFrame its data can no longer
    be read (RuntimeError)."""

class RawData(KorvaneFrame):
    def getRawData(self) -> NDArray[numpy.int16]:
        """Get raw data from the frame"""
    def getFrameFormat(self) -> KorvaneFormat:
        """Get the information of this frame"""

class DepthData(KorvaneFrame):
    def getDepthData(self) -> NDArray[numpy.float32]:
        """Get depth data from the frame"""
    def getConfidenceData(self) -> NDArray[numpy.float32]:
        """Get confidence data from the frame"""
    def getAmplitudeData(self) -> NDArray[numpy.float32]:
        """Get amplitude data from the frame"""
    def getFrameFormat(self) -> KorvaneFormat:
        """Get the information of this frame"""

class KorvaneCamera:
    def __init__(self) -> None: ...
    def open(self, mode: TOFConnect, index: int = 0) -> TOFErrorCode:
        """Initialize the camera configuration and turn on the camera, set the initialization frame according to the mode.

        - mode Specify the connection method.
        - index Device node, the default value is video0."""
    def openWithFile(self, path: str, index: int = 0) -> TOFErrorCode:
        """Initialize the camera configuration and turn on the camera, set the initialization frame according to the mode.

        - path Specify the config file path.
        - index Device node, the default value is video0."""
    def close(self) -> TOFErrorCode:
        """Close the camera"""
    def start(self, type: TOFOutput) -> TOFErrorCode:
        """Start the camera stream and start processing."""
    def stop(self) -> TOFErrorCode:
        """Stop camera stream and processing."""
    def setControl(self, ctrl: TOFControl, value: int) -> TOFErrorCode:
        """Set camera parameters."""
    def getControl(self, ctrl: TOFControl) -> int:
        """Get camera parameters."""
    def getCameraInfo(self) -> KorvaneInfo:
        """Get camera information."""
    def getStatistics(self) -> KorvaneStatistics:
        """Counters of the stream since the last start and the measured frame rate."""
    def requestFrame(self, timeout: int) -> KorvaneFrame | None:
        """Request a frame of data from the frame processing thread."""
    def releaseFrame(self, frame: KorvaneFrame) -> TOFErrorCode:
        """Free the memory space of the frame."""
