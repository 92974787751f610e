#include "hci_sdk.h"
