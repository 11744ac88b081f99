#include "components/base/ZRListBox.h"
