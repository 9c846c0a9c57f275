// A configuration block with a known value in every field, for the tests and the fixture
// device.
#pragma once

#include "configuration_block.h"

inline QByteArray hex(const char* text)
{
    return QByteArray::fromHex(text);
}

inline ConfigurationBlock sampleBlock()
{
    ConfigurationBlock b;
    for (int i = 0; i < ConfigurationBlock::Size;
         ++i) // recognisable filler in the bytes nobody shows
        b.setU8(i, quint8(0xE0 + i % 16));
    b.setBytes(8, hex("001122aabbcc"));
    b.setBytes(14, hex("c0a80001"));
    b.setBytes(18, hex("ffffff00"));
    b.setBytes(22, hex("000a0b0c0d0e"));
    b.setU8(28, 6);
    b.setU8(29, 2);
    b.setU8(30, 1);
    b.setU8(31, 4);
    b.setBytes(32, "DemoXYZ");
    b.setU16(64, 2346);
    b.setU16(66, 2347);
    b.setU8(68, 1);
    b.setU8(69, 0);
    b.setU8(70, 1);
    b.setU8(71, 3);
    b.setBytes(72, hex("0102030405060708090a0b0c0d"));
    b.setBytes(85, hex("a1a2a3a4a5a6a7a8a9aaabacad"));
    b.setBytes(98, hex("000000000000000000000000ff"));
    b.setBytes(111, hex("f0e0d0c0b0a09080706050403f"));
    b.setBytes(124, QByteArray("Lobby AP\0junk", 13));
    b.setBytes(156, hex("82840b16"));
    b.setU8(160, 0x30);
    b.setU8(161, 2);
    b.setU16(162, 100);
    b.setU8(166, 3);
    b.setU32(168, 6);
    b.setBytes(172, "publicXX");
    b.setU32(188, 0xAAAA);
    b.setU32(192, 7);
    b.setBytes(196, "private");
    b.setU32(212, 0xAACA);
    b.setBytes(240, hex("0a0000fe"));
    b.setU32(244, 2);
    b.setU32(248, 1);
    b.setU32(252, 2);
    b.setU32(256, 0);
    b.setU32(260, 1);
    b.setBytes(266, hex("0a1b2c3d4e5f"));
    b.setU8(272, 2);
    b.setU8(273, 1);
    b.setU8(274, 7);
    b.setU8(275, 0);
    b.setU8(276, 2);
    return b;
}
