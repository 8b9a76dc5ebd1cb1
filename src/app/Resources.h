#pragma once
// Pictures compiled into the program, by their resource number.
#include <QImage>

// A null image when the resource is missing; drawing a null image does nothing.
QImage loadPngResource(int id);
QImage loadBmpResource(int id);
