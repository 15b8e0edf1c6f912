# Writes the default zel.ini (port com1, caller-ID mode 制式1) to ${INI} unless
# a file is already there. The file is GBK with CR LF line ends, as the program
# itself writes it; 制式 is given by its GBK bytes so that the result does not
# depend on the encoding this script is read in.
if(EXISTS "${INI}")
  return()
endif()
string(ASCII 214 198 202 189 mode) # 制式 in GBK
string(ASCII 13 cr)
file(WRITE "${INI}" "[zel]${cr}\nfather=com1${cr}\nschool=${mode}1${cr}\n")
message(STATUS "Created ${INI}")
