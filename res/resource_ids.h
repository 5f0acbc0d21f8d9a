// Identifiers of the resources embedded in the program.
#pragma once

#define IDI_PROGRAM 1
#define IDR_TOOLBAR_IMAGES 101
