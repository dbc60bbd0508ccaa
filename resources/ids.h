// Resource and control ids shared by the code and the resource script.
#pragma once
