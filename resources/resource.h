// Resource identifiers.  The pictures and the cursor are named resources
// ("BMP0" ... "BMP10", "BMP12"), looked up by name; only the icon has a number.
#pragma once

#define IDI_APP 1
