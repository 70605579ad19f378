// help/embedded_document.cpp - the manual, carried in the program file as plain text lines.
//
// The staged manual (Latin-1, CR LF, one empty line in front) is assembled into the program's
// read-only data byte for byte. Nothing refers to it: at every start the viewer reads its own
// program file as text lines and copies the manual out from its first line to its last, so
// the bytes only have to stand in the file. The empty line in front ends whatever binary
// bytes come before, so the manual's first line always starts a line of its own.
asm(".section .rodata.korax_manual,\"a\"\n"
    ".global KoraxManual\n"
    ".type KoraxManual, @object\n"
    "KoraxManual:\n"
    ".incbin \"" KORAX_HELP_DOCUMENT "\"\n"
    ".byte 0\n"
    ".size KoraxManual, . - KoraxManual\n"
    ".previous\n");
