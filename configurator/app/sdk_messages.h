#pragma once
// The SDK's own messages (a refused firmware image, a file that cannot be
// read) appear as the program's message boxes. They may come from a worker
// thread; the toolkit shows them on the window thread while the worker waits.
void InstallSdkMessageHandler();
