#pragma once
// The SDK's own messages (a refused firmware image, a file that cannot be
// read) appear as the program's message boxes. They may come from a worker
// thread; the toolkit shows them on the window thread while the worker waits.
#include <QString>

void InstallSdkMessageHandler();

// An SDK message in the interface language: the SDK words its messages in
// Chinese; the ones this program knows are translated with their paths and
// numbers kept, any other is shown as it is.
QString SdkMessageText(const QString& text);
