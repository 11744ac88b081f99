#include "components/base/ZREdit.h"
