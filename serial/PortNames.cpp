#include "serial/PortNames.h"

const char* const PortNames[kPortCount] = {"COM1", "COM2", "COM3", "COM4",
                                           "COM5", "COM6", "COM7", "COM8"};
