#include "ExecutableTest.h"

namespace ExecutableTest {

bool isExecutable(QByteArrayView head)
{
    auto byteIs = [head](qsizetype offset, unsigned char value) {
        return offset < head.size() && static_cast<unsigned char>(head[offset]) == value;
    };
    const bool mz = byteIs(0, 'M') && byteIs(1, 'Z');
    const bool ffff = byteIs(12, 0xFF) && byteIs(13, 0xFF);
    return mz || ffff || byteIs(2, 'Z') || byteIs(4, 0x03) || byteIs(8, 0x04);
}

} // namespace ExecutableTest
