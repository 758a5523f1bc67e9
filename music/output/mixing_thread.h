#pragma once
// The mixing thread, which refills the ring behind the device's play cursor.

// One poll of the mixing thread: refills every block the device has finished.
// The thread calls it every 5 ms; offline renderers call it after moving the
// offline device's play position.
void MixingCatchUp();
// Starts the thread when the device wants one; a device whose position only
// its caller moves is polled by that caller instead.
void StartMixingThread();
// Asks the thread to stop and waits until it has, and until no block fill is
// in progress; nothing happens to the ring or the device.
void StopMixingThread();
