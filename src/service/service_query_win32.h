#pragma once
// Windows: the program the service manager starts as the service, for a tool that looks for the
// service's files. Asked with the least rights (any account may), unlike QueryService.

#include <string>

namespace tavro {

// The program of the registered service kServiceName, from its binary path; "" when it is not
// registered or its configuration cannot be read.
std::string RegisteredServiceProgram();

// The program of a service's binary path (ServiceBinaryPath's, or one registered by hand with
// arguments): the text inside its leading quotes; else up to the first ".exe" that ends a word, as
// the service manager reads an unquoted path; else the whole text.
std::string ServiceProgram(const std::string& binaryPath);

}  // namespace tavro
