"""Smoke check of the extension module until a camera source exists."""
import KorvaneDepthCamera

print("KorvaneDepthCamera", KorvaneDepthCamera.__version__)
