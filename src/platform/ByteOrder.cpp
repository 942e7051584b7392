#include "ByteOrder.h"

#include "Exceptions.h"
#include "Format.h"
#include "Texts.h"

namespace platform {

void ThrowFieldOutsideData(size_t offset, size_t width, size_t size)
{
    throw Exception(Format(kFieldOutsideDataFormat, offset, width, size));
}

} // namespace platform
