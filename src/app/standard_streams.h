#pragma once
// The process's standard streams, made safe before anything else is opened.

namespace tavro {

// Linux: a closed standard stream is opened on /dev/null (else the next descriptor the launcher
// opens would take its number, and writes meant for standard error would land there), and a reader
// of a stream that goes away no longer ends the process by SIGPIPE (the programs it starts get
// the default again). Windows: nothing to do.
void SecureStandardStreams();

}  // namespace tavro
