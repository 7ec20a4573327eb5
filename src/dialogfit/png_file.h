#pragma once
// A picture as a PNG file: 8-bit RGB, one zlib stream, no metadata, so the
// same pixels always give the same bytes (review artefacts can be
// compared). Written with QtCore's zlib, without an image library.

#include "dialogfit/raster_image.h"

#include <QByteArray>

QByteArray EncodePng(const RasterImage &image);
