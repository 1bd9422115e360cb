// Placeholder: the toolkit's GDI objects and device contexts (being written).
#pragma once
