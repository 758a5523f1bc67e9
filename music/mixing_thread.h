#pragma once
// The mixing thread's procedure; SongPlay starts it.
int MixingThread();
// Starts the thread when the device wants one; stopping is SongStop's.
void StartMixingThread();
