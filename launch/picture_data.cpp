// launch/picture_data.cpp - the launcher's picture, drawn by launchart at build time and
// assembled into the program as the 24-bit BMP it wrote.
asm(".section .rodata\n"
    ".balign 16\n"
    ".global LaunchPicture\n"
    ".type LaunchPicture, @object\n"
    "LaunchPicture:\n"
    ".incbin \"" KORAX_LAUNCH_PICTURE "\"\n"
    ".global LaunchPictureEnd\n"
    "LaunchPictureEnd:\n"
    ".size LaunchPicture, . - LaunchPicture\n"
    ".previous\n");
