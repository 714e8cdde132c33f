// A file of the library it is linked to, including the one header that MOSTRELA_HEADER names.
#include MOSTRELA_HEADER
