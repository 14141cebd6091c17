// Not built: the wake-mask check must refuse this file.
void Wait() { MsgWaitForMultipleObjectsEx(0, nullptr, 10, QS_ALLINPUT, 0); }
