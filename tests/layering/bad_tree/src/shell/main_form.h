#include "parallel/eprom_programmer.h"
