;*****************************************************************
; CDI.asm - прошивка модуля зажигания CDI
; для малолитражного двигателя.
;
; ATmega8, внутренний RC генератор 8 МГц.
; Датчик (INT0, PD2) стоит на 20° до ВМТ.
; PB1 - управление тиристором, PB2 - включение преобразователя.
; ADC0 (PC0) - резистор выбора таблицы УОЗ:
;   нижняя треть - таблица 3 (дождь, низкий октан),
;   средняя - таблица 1 (обычная),
;   верхняя - таблица 2 (спорт).
;
; Период оборота считаем в тиках по 512 мкс: R21 идет от 255
; к 0, 0 - ниже 460 об/мин. T = 255-R21.
; Код угла: 0..179 - 20-0.7*код, 181..255 - 20+0.7*(255-код),
; 180 - без искры. Задержка от датчика = код*T мкс,
; т.к. T мкс - это 1/512 оборота, т.е. ~0.7°.
;*****************************************************************

.device ATmega8

; ---- I/O (ATmega8) ----
.equ SREG   = 0x3F
.equ SPH    = 0x3E
.equ SPL    = 0x3D
.equ GICR   = 0x3B
.equ TIMSK  = 0x39
.equ TIFR   = 0x38
.equ MCUCR  = 0x35
.equ TCCR0  = 0x33
.equ TCNT0  = 0x32
.equ TCCR1A = 0x2F
.equ TCCR1B = 0x2E
.equ TCNT1H = 0x2D
.equ TCNT1L = 0x2C
.equ OCR1AH = 0x2B
.equ OCR1AL = 0x2A
.equ PORTB  = 0x18
.equ DDRB   = 0x17
.equ PORTD  = 0x12
.equ DDRD   = 0x11
.equ ADMUX  = 0x07
.equ ADCSRA = 0x06
.equ ADCH   = 0x05

.equ INT0   = 6		; GICR
.equ ISC01  = 1		; MCUCR
.equ TOIE0  = 0		; TIMSK
.equ OCIE1A = 4		; TIMSK
.equ OCF1A  = 4		; TIFR
.equ CS00   = 0
.equ CS01   = 1
.equ CS11   = 1
.equ REFS0  = 6		; ADMUX
.equ ADLAR  = 5
.equ ADEN   = 7		; ADCSRA
.equ ADSC   = 6
.equ ADPS2  = 2
.equ ADPS1  = 1

.equ RAMEND = 0x045F

.equ SCR    = 1		; PB1, тиристор
.equ CHG    = 2		; PB2, 1 - преобразователь заряжает
.equ SENS   = 2		; PD2, датчик
.equ TRIM   = 0		; ADC0, резистор

; 8 МГц/64 = 8 мкс, 64 тика = 512 мкс
.equ T0_RELOAD = 256-64

.def XL = R26
.def XH = R27
.def YL = R28
.def YH = R29

; R2  - всегда 0
; R21 - счетчик периода, его меняет только T0 и INT0
; R24 - текущая таблица (1..3)

.dseg
.org 0x0060
FuozRAM:	.byte 32	; рабочая таблица, из нее читает INT0

.cseg
.org 0x0000
	rjmp Reset		; RESET
	rjmp Ext0		; INT0 - датчик
	reti			; INT1
	reti			; TIMER2 COMP
	reti			; TIMER2 OVF
	reti			; TIMER1 CAPT
	rjmp T1CompA		; TIMER1 COMPA - пора давать искру
	reti			; TIMER1 COMPB
	reti			; TIMER1 OVF
	rjmp T0Ovf		; TIMER0 OVF - тик 512 мкс
	reti			; SPI STC
	reti			; USART RXC
	reti			; USART UDRE
	reti			; USART TXC
	reti			; ADC
	reti			; EE_RDY
	reti			; ANA_COMP
	reti			; TWI
	reti			; SPM_RDY

Reset:
	ldi R16, high(RAMEND)
	out SPH, R16
	ldi R16, low(RAMEND)
	out SPL, R16
	clr R2

; тиристор закрыт, преобразователь работает
	ldi R16, (1<<CHG)
	out PORTB, R16
	ldi R16, (1<<SCR)|(1<<CHG)
	out DDRB, R16
	out DDRD, R2
	sbi PORTD, SENS		; подтяжка датчика

; прерывание по спаду импульса датчика
	ldi R16, (1<<ISC01)
	out MCUCR, R16
	ldi R16, (1<<INT0)
	out GICR, R16

; T0 - тики 512 мкс; T1 - отсчет задержки по 1 мкс, пока стоит
	ldi R16, T0_RELOAD
	out TCNT0, R16
	ldi R16, (1<<CS01)|(1<<CS00)
	out TCCR0, R16
	out TCCR1A, R2
	out TCCR1B, R2
	ldi R16, (1<<TOIE0)|(1<<OCIE1A)
	out TIMSK, R16

	clr R21			; первый импульс - как на холостых
	rcall AdcInit
	ser R24			; таблица еще не загружена
	sei

Main:
	rcall ReadTrim
	ldi R16, 3
	cpi R25, 85
	brlo MainSel
	ldi R16, 1
	cpi R25, 170
	brlo MainSel
	ldi R16, 2
MainSel:
	cp R16, R24
	breq Main		; режим не менялся
	mov R24, R16
	cli			; пока копируем, INT0 не должен читать
	cpi R24, 1
	brne MainSel2
	rcall LoadTable1
	rjmp MainDone
MainSel2:
	cpi R24, 2
	brne MainSel3
	rcall LoadTable2
	rjmp MainDone
MainSel3:
	rcall LoadTable3
MainDone:
	sei
	rjmp Main

; положение резистора в R25, старшие 8 бит
ReadTrim:
	in R16, ADCSRA
	ori R16, (1<<ADSC)
	out ADCSRA, R16
ReadTrimW:
	sbic ADCSRA, ADSC
	rjmp ReadTrimW
	in R25, ADCH
	ret

; тик 512 мкс: считаем вниз до нуля
T0Ovf:
	push R16
	in R16, SREG
	push R16
	ldi R16, T0_RELOAD
	out TCNT0, R16
	tst R21
	breq T0Done
	dec R21
T0Done:
	pop R16
	out SREG, R16
	pop R16
	reti

; задержка отсчитана - искра
T1CompA:
	push R16
	in R16, SREG
	push R16
	push R17
	push R18
	push R19
	out TCCR1B, R2		; одна искра на импульс датчика
	rcall Spark
	pop R19
	pop R18
	pop R17
	pop R16
	out SREG, R16
	pop R16
	reti

; вместе с rcall/ret и inc/cpi/brlo ровно 48 тактов = 6 мкс
Wait6us:
	ldi R17, 12
Wait6usL:
	dec R17
	brne Wait6usL
	nop
	ret

;блок задержки искры
Spark:
	cbi PORTB, CHG
	sbi PORTB, SCR
	clr R18
SparkHold:
	rcall Wait6us
	inc R18
cpi R18, 11		;66mks
	brlo SparkHold
	cbi PORTB, SCR
; пауза, чтобы тиристор закрылся
	clr R19
SparkPause:
	rcall Wait6us
	inc R19
cpi R19, 11		;66mks
	brlo SparkPause
	sbi PORTB, CHG
	ret

; импульс датчика: период -> ступень 0..31 -> код угла
Ext0:
	push R16
	in R16, SREG
	push R16
	push R0
	push R1
	push R20
	push R22
	push R23
	push YL
	push YH
; чем больше R21, тем выше обороты
	ldi R20, 31
cpi R21, 249	;сравнение РОН с контстантой
	brsh SpeedHit
	dec R20
cpi R21, 248	;сравнение РОН с контстантой
	brsh SpeedHit
	dec R20
cpi R21, 247	;сравнение РОН с контстантой
	brsh SpeedHit
	dec R20
cpi R21, 246	;сравнение РОН с контстантой
	brsh SpeedHit
	dec R20
cpi R21, 244	;сравнение РОН с контстантой
	brsh SpeedHit
	dec R20
cpi R21, 243	;сравнение РОН с контстантой
	brsh SpeedHit
	dec R20
cpi R21, 242	;сравнение РОН с контстантой
	brsh SpeedHit
	dec R20
cpi R21, 240	;сравнение РОН с контстантой
	brsh SpeedHit
	dec R20
cpi R21, 239	;сравнение РОН с контстантой
	brsh SpeedHit
	dec R20
cpi R21, 238	;сравнение РОН с контстантой
	brsh SpeedHit
	dec R20
cpi R21, 237	;сравнение РОН с контстантой
	brsh SpeedHit
	dec R20
cpi R21, 235	;сравнение РОН с контстантой
	brsh SpeedHit
	dec R20
cpi R21, 234	;сравнение РОН с контстантой
	brsh SpeedHit
	dec R20
cpi R21, 232	;сравнение РОН с контстантой
	brsh SpeedHit
	dec R20
cpi R21, 231	;сравнение РОН с контстантой
	brsh SpeedHit
	dec R20
	rjmp SpeedLow
SpeedHit:
	rjmp SpeedFound		; brsh туда не достает
SpeedLow:
cpi R21, 228	;сравнение РОН с контстантой
	brsh SpeedFound
	dec R20
cpi R21, 226	;сравнение РОН с контстантой
	brsh SpeedFound
	dec R20
cpi R21, 222	;сравнение РОН с контстантой
	brsh SpeedFound
	dec R20
cpi R21, 219	;сравнение РОН с контстантой
	brsh SpeedFound
	dec R20
cpi R21, 216	;сравнение РОН с контстантой
	brsh SpeedFound
	dec R20
cpi R21, 212	;сравнение РОН с контстантой
	brsh SpeedFound
	dec R20
cpi R21, 208	;сравнение РОН с контстантой
	brsh SpeedFound
	dec R20
cpi R21, 203	;сравнение РОН с контстантой
	brsh SpeedFound
	dec R20
cpi R21, 196	;сравнение РОН с контстантой
	brsh SpeedFound
	dec R20
cpi R21, 190	;сравнение РОН с контстантой
	brsh SpeedFound
	dec R20
cpi R21, 182	;сравнение РОН с контстантой
	brsh SpeedFound
	dec R20
cpi R21, 171	;сравнение РОН с контстантой
	brsh SpeedFound
	dec R20
cpi R21, 157	;сравнение РОН с контстантой
	brsh SpeedFound
	dec R20
cpi R21, 138	;сравнение РОН с контстантой
	brsh SpeedFound
	dec R20
cpi R21, 109	;сравнение РОН с контстантой
	brsh SpeedFound
	dec R20
cpi R21, 60	;сравнение РОН с контстантой
	brsh SpeedFound
	dec R20
SpeedFound:
	mov R23, R21
	com R23			; T = 255-R21
	ldi R21, 255		; новый оборот
	ldi YL, low(FuozRAM)
	ldi YH, high(FuozRAM)
	add YL, R20
	adc YH, R2
	ld R22, Y
	cpi R22, 180
	breq Ext0Done		; без искры
	brlo Ext0Late
; раньше датчика: искра на следующем обороте,
; задержка = (код+257)*T
	mul R22, R23
	add R0, R23
	adc R1, R23
	brcc Ext0Set
	ser R16			; на холостых >20° не бывает, просто ограничим
	mov R0, R16
	mov R1, R16
	rjmp Ext0Set
Ext0Late:
	mul R22, R23		; задержка = код*T
Ext0Set:
	mov R16, R0
	or R16, R1
	brne Ext0Go
	inc R0			; с нулем сравнение не сработает
Ext0Go:
	out TCNT1H, R2
	out TCNT1L, R2
	out OCR1AH, R1
	out OCR1AL, R0
	ldi R16, (1<<OCF1A)
	out TIFR, R16
	ldi R16, (1<<CS11)
	out TCCR1B, R16		; 1 мкс
Ext0Done:
	pop YH
	pop YL
	pop R23
	pop R22
	pop R20
	pop R1
	pop R0
	pop R16
	out SREG, R16
	pop R16
	reti

; резистор: ADC0, опора AVcc, выравнивание влево, 125 кГц
AdcInit:
	ldi R16, (1<<REFS0)|(1<<ADLAR)|TRIM
	out ADMUX, R16
	ldi R16, (1<<ADPS2)|(1<<ADPS1)
	out ADCSRA, R16
sbi ADCSRA, ADEN
	ret

; Таблицы УОЗ: 32 ступени, первая - 460 об/мин, далее по порядку
; порогов выше. Коды копируем через X в FuozRAM.

; Таблица 1 - обычная
LoadTable1:
	ldi XL, low(FuozRAM)
	ldi XH, high(FuozRAM)
FuozTable1:
ldi R16, 14	;множитель
st X+, R16	;в ОЗУ, 10.2°
ldi R16, 14	;множитель
st X+, R16	;в ОЗУ, 10.2°
ldi R16, 13	;множитель
st X+, R16	;в ОЗУ, 10.9°
ldi R16, 13	;множитель
st X+, R16	;в ОЗУ, 10.9°
ldi R16, 12	;множитель
st X+, R16	;в ОЗУ, 11.6°
ldi R16, 11	;множитель
st X+, R16	;в ОЗУ, 12.3°
ldi R16, 10	;множитель
st X+, R16	;в ОЗУ, 13°
ldi R16, 9	;множитель
st X+, R16	;в ОЗУ, 13.7°
ldi R16, 7	;множитель
st X+, R16	;в ОЗУ, 15.1°
ldi R16, 5	;множитель
st X+, R16	;в ОЗУ, 16.5°
ldi R16, 4	;множитель
st X+, R16	;в ОЗУ, 17.2°
ldi R16, 2	;множитель
st X+, R16	;в ОЗУ, 18.6°
ldi R16, 0	;множитель
st X+, R16	;в ОЗУ, 20°
ldi R16, 254	;множитель
st X+, R16	;в ОЗУ, 20.7°
ldi R16, 252	;множитель
st X+, R16	;в ОЗУ, 22.1°
ldi R16, 249	;множитель
st X+, R16	;в ОЗУ, 24.2°
ldi R16, 247	;множитель
st X+, R16	;в ОЗУ, 25.6°
ldi R16, 244	;множитель
st X+, R16	;в ОЗУ, 27.7°
ldi R16, 243	;множитель
st X+, R16	;в ОЗУ, 28.4°
ldi R16, 243	;множитель
st X+, R16	;в ОЗУ, 28.4°
ldi R16, 243	;множитель
st X+, R16	;в ОЗУ, 28.4°
ldi R16, 242	;множитель
st X+, R16	;в ОЗУ, 29.1°
ldi R16, 242	;множитель
st X+, R16	;в ОЗУ, 29.1°
ldi R16, 241	;множитель
st X+, R16	;в ОЗУ, 29.8°
ldi R16, 241	;множитель
st X+, R16	;в ОЗУ, 29.8°
ldi R16, 242	;множитель
st X+, R16	;в ОЗУ, 29.1°
ldi R16, 242	;множитель
st X+, R16	;в ОЗУ, 29.1°
ldi R16, 243	;множитель
st X+, R16	;в ОЗУ, 28.4°
ldi R16, 247	;множитель
st X+, R16	;в ОЗУ, 25.6°
ldi R16, 250	;множитель
st X+, R16	;в ОЗУ, 23.5°
ldi R16, 253	;множитель
st X+, R16	;в ОЗУ, 21.4°
ldi R16, 2	;множитель
st X+, R16	;в ОЗУ, 18.6°
	ret

; Таблица 2 - спорт
LoadTable2:
	ldi XL, low(FuozRAM)
	ldi XH, high(FuozRAM)
FuozTable2:
ldi R16, 11	;множитель
st X+, R16	;в ОЗУ, 12.3°
ldi R16, 11	;множитель
st X+, R16	;в ОЗУ, 12.3°
ldi R16, 10	;множитель
st X+, R16	;в ОЗУ, 13°
ldi R16, 10	;множитель
st X+, R16	;в ОЗУ, 13°
ldi R16, 9	;множитель
st X+, R16	;в ОЗУ, 13.7°
ldi R16, 9	;множитель
st X+, R16	;в ОЗУ, 13.7°
ldi R16, 7	;множитель
st X+, R16	;в ОЗУ, 15.1°
ldi R16, 5	;множитель
st X+, R16	;в ОЗУ, 16.5°
ldi R16, 4	;множитель
st X+, R16	;в ОЗУ, 17.2°
ldi R16, 2	;множитель
st X+, R16	;в ОЗУ, 18.6°
ldi R16, 0	;множитель
st X+, R16	;в ОЗУ, 20°
ldi R16, 253	;множитель
st X+, R16	;в ОЗУ, 21.4°
ldi R16, 251	;множитель
st X+, R16	;в ОЗУ, 22.8°
ldi R16, 249	;множитель
st X+, R16	;в ОЗУ, 24.2°
ldi R16, 248	;множитель
st X+, R16	;в ОЗУ, 24.9°
ldi R16, 245	;множитель
st X+, R16	;в ОЗУ, 27°
ldi R16, 243	;множитель
st X+, R16	;в ОЗУ, 28.4°
ldi R16, 240	;множитель
st X+, R16	;в ОЗУ, 30.5°
ldi R16, 239	;множитель
st X+, R16	;в ОЗУ, 31.2°
ldi R16, 239	;множитель
st X+, R16	;в ОЗУ, 31.2°
ldi R16, 238	;множитель
st X+, R16	;в ОЗУ, 31.9°
ldi R16, 238	;множитель
st X+, R16	;в ОЗУ, 31.9°
ldi R16, 237	;множитель
st X+, R16	;в ОЗУ, 32.6°
ldi R16, 237	;множитель
st X+, R16	;в ОЗУ, 32.6°
ldi R16, 237	;множитель
st X+, R16	;в ОЗУ, 32.6°
ldi R16, 237	;множитель
st X+, R16	;в ОЗУ, 32.6°
ldi R16, 238	;множитель
st X+, R16	;в ОЗУ, 31.9°
ldi R16, 239	;множитель
st X+, R16	;в ОЗУ, 31.2°
ldi R16, 243	;множитель
st X+, R16	;в ОЗУ, 28.4°
ldi R16, 246	;множитель
st X+, R16	;в ОЗУ, 26.3°
ldi R16, 249	;множитель
st X+, R16	;в ОЗУ, 24.2°
ldi R16, 253	;множитель
st X+, R16	;в ОЗУ, 21.4°
	ret

; Таблица 3 - дождь, низкий октан
LoadTable3:
	ldi XL, low(FuozRAM)
	ldi XH, high(FuozRAM)
FuozTable3:
ldi R16, 17	;множитель
st X+, R16	;в ОЗУ, 8.1°
ldi R16, 17	;множитель
st X+, R16	;в ОЗУ, 8.1°
ldi R16, 16	;множитель
st X+, R16	;в ОЗУ, 8.8°
ldi R16, 16	;множитель
st X+, R16	;в ОЗУ, 8.8°
ldi R16, 15	;множитель
st X+, R16	;в ОЗУ, 9.5°
ldi R16, 14	;множитель
st X+, R16	;в ОЗУ, 10.2°
ldi R16, 13	;множитель
st X+, R16	;в ОЗУ, 10.9°
ldi R16, 12	;множитель
st X+, R16	;в ОЗУ, 11.6°
ldi R16, 11	;множитель
st X+, R16	;в ОЗУ, 12.3°
ldi R16, 10	;множитель
st X+, R16	;в ОЗУ, 13°
ldi R16, 8	;множитель
st X+, R16	;в ОЗУ, 14.4°
ldi R16, 7	;множитель
st X+, R16	;в ОЗУ, 15.1°
ldi R16, 6	;множитель
st X+, R16	;в ОЗУ, 15.8°
ldi R16, 4	;множитель
st X+, R16	;в ОЗУ, 17.2°
ldi R16, 3	;множитель
st X+, R16	;в ОЗУ, 17.9°
ldi R16, 1	;множитель
st X+, R16	;в ОЗУ, 19.3°
ldi R16, 254	;множитель
st X+, R16	;в ОЗУ, 20.7°
ldi R16, 251	;множитель
st X+, R16	;в ОЗУ, 22.8°
ldi R16, 251	;множитель
st X+, R16	;в ОЗУ, 22.8°
ldi R16, 250	;множитель
st X+, R16	;в ОЗУ, 23.5°
ldi R16, 250	;множитель
st X+, R16	;в ОЗУ, 23.5°
ldi R16, 249	;множитель
st X+, R16	;в ОЗУ, 24.2°
ldi R16, 249	;множитель
st X+, R16	;в ОЗУ, 24.2°
ldi R16, 249	;множитель
st X+, R16	;в ОЗУ, 24.2°
ldi R16, 248	;множитель
st X+, R16	;в ОЗУ, 24.9°
ldi R16, 249	;множитель
st X+, R16	;в ОЗУ, 24.2°
ldi R16, 250	;множитель
st X+, R16	;в ОЗУ, 23.5°
ldi R16, 250	;множитель
st X+, R16	;в ОЗУ, 23.5°
ldi R16, 0	;множитель
st X+, R16	;в ОЗУ, 20°
ldi R16, 2	;множитель
st X+, R16	;в ОЗУ, 18.6°
ldi R16, 5	;множитель
st X+, R16	;в ОЗУ, 16.5°
ldi R16, 8	;множитель
st X+, R16	;в ОЗУ, 14.4°
	ret

.exit
