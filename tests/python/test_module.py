import sys

import KorvaneDepthCamera


def test_module_reports_its_version():
    assert KorvaneDepthCamera.__version__ == "dev"
    assert sys.version_info[:2] == (3, 11)
